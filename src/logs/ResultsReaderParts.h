#pragma once
// The pieces the two results file readers share: lines, fields, numbers and
// the faults they report. Only the readers include this.
#include <QString>

#include <optional>
#include <string_view>

#include "logs/MomentReader.h"
#include "logs/ResultsStore.h"

namespace quorvex::reading {

// What is wrong with a line, as a numbered text.
inline const QString kEmptyFile = QStringLiteral("[2125]plik jest pusty");
inline const QString kNotResults = QStringLiteral("[2126]to nie jest plik wyników tego programu");
inline const QString kOutOfOrder = QStringLiteral("[2127]numer rekordu poza kolejnością");
inline const QString kBadMoment = QStringLiteral("[2128]nieczytelna data lub godzina");
inline const QString kBadNumber = QStringLiteral("[2129]nieprawidłowa liczba");
inline const QString kIncomplete = QStringLiteral("[2130]niepełny wiersz");
inline const QString kTooManyFields = QStringLiteral("[2131]za dużo pól w wierszu");
inline const QString kEarlier = QStringLiteral("[2132]czas wcześniejszy niż w poprzednim wierszu");

struct Fault {
    int line = 0;  // 0: no fault
    QString reason;
    // The fault may come from reading the moments the wrong way (another
    // locale's formats); reading again another way may get further.
    bool momentWay = false;

    explicit operator bool() const { return line != 0; }
};

// The lines of a file, each without its LF or CR LF.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}
    // False past the last line.
    bool Next(std::string_view& line);
    // 1-based number of the line last returned.
    int Number() const { return number_; }
    // The line last returned ended with a line end (a file cut short does not).
    bool Ended() const { return ended_; }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
    int number_ = 0;
    bool ended_ = false;
};

// Splits at every `separator` into at most `max` fields; returns how many
// there were (more than `max` when the line has more).
int SplitFields(std::string_view line, char separator, std::string_view* fields, int max);

// Blanks and tabs only.
bool IsBlank(std::string_view text);

// A decimal number with "." or "," as separator, an optional sign and blanks
// around it; nothing for anything else (also no exponent, no group separator).
std::optional<float> ReadNumber(std::string_view text);
// A record number: decimal digits only, 1 or more.
std::optional<int> ReadRecordNumber(std::string_view text);

// Strict UTF-8: nothing for bytes that are not UTF-8 text.
std::optional<QString> DecodeUtf8(std::string_view bytes);

// Checks the number and the moment of the next record of `store`: the
// number must be Count() + 1, the moment readable and not before the last one.
Fault CheckNextRecord(const ResultsStore& store, int line, std::string_view number, std::optional<Moment> moment);

// Reads the whole file once per way of reading moments until a pass gets
// through; `pass(way)` fills the store afresh. A fault that does not depend
// on the way ends it at once; otherwise the fault of the pass that got
// furthest is the file's.
template <class Pass>
Fault ReadWithEachWay(int ways, Pass pass) {
    Fault furthest;
    for (int way = 0; way < ways; ++way) {
        Fault fault = pass(way);
        if (!fault) return {};
        if (!fault.momentWay) return fault;
        if (fault.line > furthest.line) furthest = fault;
    }
    return furthest;
}

// The two formats.
Fault ReadText(std::string_view text, ResultsStore& into);
Fault ReadCsv(std::string_view text, ResultsStore& into);
bool LooksLikeCsv(std::string_view text);

}  // namespace quorvex::reading
