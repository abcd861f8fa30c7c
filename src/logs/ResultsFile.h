#pragma once
// The results text file: the records of the results store as TAB-separated
// lines, UTF-8, every line ended by CR LF. Three header lines (name, type,
// serial), four lines of one space, then one line per record numbered from 1:
//   n TAB date SPACE time TAB temperature TAB [humidity]
// Humidity only for a logger whose type begins with "02"; otherwise the line
// ends with the TAB after the temperature.
//
// The main window's onSaveResultsClicked proposes ProposedResultsFileName
// in its save dialog (filters kResultsTextFilter and kResultsCsvFilter),
// remembers the folder under "Okno"/"Dir" and calls SaveResultsFile in the
// format the chosen name says; a failure is shown with the caption "Błąd"
// and errorText. The CSV file is ResultsCsv.h's.
#include <QIODevice>
#include <QString>

#include "logs/ResultsStore.h"
#include "params/ParameterModel.h"
#include "sign/FileSigner.h"

namespace quorvex {

inline const QString kResultsFileSuffix = QStringLiteral("txt");
inline const QString kResultsCsvSuffix = QStringLiteral("csv");
inline const QString kResultsTextFilter = QStringLiteral("TXT (*.txt)");
inline const QString kResultsCsvFilter = QStringLiteral("CSV (*.csv)");

enum class ResultsFormat { Text, Csv };

// ".csv" in any case is the CSV file; any other name the text file.
ResultsFormat ResultsFormatOf(const QString& path);
// The file a save dialog's answer stands for: a name ending in ".txt" or
// ".csv" keeps it; any other gets the extension of the chosen filter.
QString ResultsPathForFilter(const QString& path, const QString& filter);

// "<name> <start date> <start time>" with blanks and control characters cut
// from both ends, an empty name taken as "Logger", and each of < > : \ / | ? *
// replaced by an underscore. Without the suffix.
QString ProposedResultsFileName(const QString& loggerName, const QString& startDateText, const QString& startTimeText);
// The same from the store's logger name and the moment of its first record,
// in the text forms of the start moment's parameters (downloaded or opened
// from a file alike); for an empty download, the start moment as the
// parameter model holds it now.
QString ProposedResultsFileName(const ResultsStore& store, const ParameterModel& params);

// Writes the whole layout to an open device; false when a write fails.
bool WriteResults(QIODevice& out, const ResultsStore& store);

struct SaveResultsOutcome {
    bool ok = false;
    QString errorText;      // translated, names the path and the reason; empty on success
    SignOutcome signature;  // the file saved: whether it was signed, and if not why
};

// What a signature's trusted comment says of these records: the logger's serial, the first
// record's moment as the log's start, the record count.
SignatureFacts SignatureFactsOf(const ResultsStore& store);

// Writes a temporary file beside the target and renames it over the target
// only when everything was written, so a full disk or a crash never leaves a
// half-written file in place of a good one. The store is not changed.
// `csvDewPoint`: the CSV file gains the dew point column (ResultsCsv.h); the
// text file never changes. With a signer the saved file is signed (FileSigner.h); a file that
// cannot be signed is saved all the same.
SaveResultsOutcome SaveResultsFile(const QString& path, const ResultsStore& store,
                                   ResultsFormat format = ResultsFormat::Text, bool csvDewPoint = false,
                                   const FileSigner* signer = nullptr);

}  // namespace quorvex
