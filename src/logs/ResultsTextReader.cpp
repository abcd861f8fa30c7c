// Reading the results text file back: three header lines whose first word is
// the Polish, English or German one, four lines of a space, then one line per
// record "n TAB date time TAB temperature TAB [humidity]".
#include <QStringList>

#include "i18n/StringTable.h"
#include "logs/ResultsReaderParts.h"
#include "params/Codecs.h"

namespace quorvex::reading {
namespace {

constexpr int kHeaderLines = 7;

// The first word of a header line in each language: the Polish wording, and
// the English and German ones of the same numbered text.
QStringList HeaderWords(int id, const char* polish) {
    QStringList words{QString::fromUtf8(polish)};
    for (int base : {kEnglishResourceBase, kGermanResourceBase}) {
        const QString word = LoadStringResource(base + id);
        if (!word.isEmpty() && !words.contains(word)) words << word;
    }
    return words;
}

// "word TAB value" with a word of `words`; the value, or nothing.
std::optional<QString> HeaderValue(std::string_view line, const QStringList& words) {
    const std::size_t tab = line.find('\t');
    if (tab == std::string_view::npos) return std::nullopt;
    const auto word = DecodeUtf8(line.substr(0, tab));
    auto value = DecodeUtf8(line.substr(tab + 1));
    if (!word || !value || !words.contains(*word)) return std::nullopt;
    return value;
}

Fault ReadHeader(Lines& lines, ResultsStore& into) {
    static const QStringList kNameWords = HeaderWords(1053, "Nazwa");
    static const QStringList kTypeWords = HeaderWords(1054, "Typ");
    static const QStringList kSerialWords{QStringLiteral("Serial")};
    QString* fields[] = {&into.loggerName, &into.loggerType, &into.serialNumber};
    const QStringList* words[] = {&kNameWords, &kTypeWords, &kSerialWords};
    std::string_view line;
    for (int i = 0; i < kHeaderLines; ++i) {
        if (!lines.Next(line)) return {i + 1, kIncomplete};
        const int n = lines.Number();
        if (i < 3) {
            const auto value = HeaderValue(line, *words[i]);
            if (!value) return {n, kNotResults};
            *fields[i] = *value;
        } else if (!IsBlank(line)) {
            return {n, kNotResults};
        }
        if (!lines.Ended()) return {n, kIncomplete};
    }
    return {};
}

Fault ReadPass(std::string_view text, ResultsStore& into, MomentReader& moments, int way) {
    into.Clear();
    Lines lines(text);
    if (Fault fault = ReadHeader(lines, into)) return fault;
    // A file that names its logger's type has humidity exactly when a download from that logger
    // would: a temperature-only logger's file may still carry a humidity column of zeros (older
    // programs wrote one), and those zeros were never measured. Only a file without a type (saved
    // from a CSV file) is told by its column.
    const bool humidityType = IsHumidityDevice(into.loggerType);
    const bool typeNamed = !into.loggerType.trimmed().isEmpty();
    std::string_view line;
    int blankLine = 0;  // a blank line, allowed only after the last record
    std::string_view fields[4];
    while (lines.Next(line)) {
        const int n = lines.Number();
        if (IsBlank(line)) {
            if (!blankLine) blankLine = n;
            continue;
        }
        if (blankLine || !lines.Ended()) return {blankLine ? blankLine : n, kIncomplete};
        const int count = SplitFields(line, '\t', fields, 4);
        if (count > 4) return {n, kTooManyFields};
        if (count < 3) return {n, kIncomplete};
        const auto moment = moments.Read(fields[1], way);
        if (Fault fault = CheckNextRecord(into, n, fields[0], moment)) return fault;
        const auto temperature = ReadNumber(fields[2]);
        if (!temperature) return {n, kBadNumber};
        float humidity = 0.0f;
        if (count == 4 && !IsBlank(fields[3])) {
            const auto value = ReadNumber(fields[3]);
            if (!value) return {n, kBadNumber};
            humidity = *value;
            // Humidity where no type promises it (saved from a CSV file).
            if (!typeNamed) into.humidityInFile = true;
        } else if (humidityType) {
            return {n, kIncomplete};
        }
        into.Append(*temperature, humidity, *moment);
    }
    return {};
}

}  // namespace

Fault ReadText(std::string_view text, ResultsStore& into) {
    MomentReader moments(MomentReader::Order::LocalesFirst);
    return ReadWithEachWay(moments.WayCount(), [&](int way) { return ReadPass(text, into, moments, way); });
}

}  // namespace quorvex::reading
