// Reading the CSV file back (RFC 4180 fields, quoted or not). Its moments are
// read as ISO 8601 first; a spreadsheet that saved the file again may have
// written them in a locale's formats, which are tried next.
#include <string>

#include "logs/ResultsReaderParts.h"

namespace quorvex::reading {
namespace {

// A file written with the dew point switched on has a fifth column; the dew
// point follows from temperature and humidity, so it is not read.
constexpr int kMaxColumns = 5;
constexpr std::string_view kColumns[kMaxColumns] = {"record", "time", "temperature_C", "humidity_pct", "dew_point_C"};

// The fields of one CSV row; quoted fields are unquoted into `storage`.
// Nothing when a quote is left open or text follows a closing quote.
// Returns the field count, which may exceed `max`.
std::optional<int> CsvFields(std::string_view line, std::string_view* fields, std::string* storage, int max) {
    int count = 0;
    std::size_t pos = 0;
    for (;;) {
        std::string_view field;
        if (pos < line.size() && line[pos] == '"') {
            std::string& text = storage[count < max ? count : 0];
            text.clear();
            std::size_t i = pos + 1;
            for (;; ++i) {
                if (i >= line.size()) return std::nullopt;
                if (line[i] == '"') {
                    if (i + 1 < line.size() && line[i + 1] == '"') {
                        text += '"';
                        ++i;
                        continue;
                    }
                    break;
                }
                text += line[i];
            }
            field = text;
            pos = i + 1;
            if (pos < line.size() && line[pos] != ',') return std::nullopt;
        } else {
            const std::size_t end = line.find(',', pos);
            field = line.substr(pos, end == std::string_view::npos ? end : end - pos);
            pos = end == std::string_view::npos ? line.size() : end;
        }
        if (count < max) fields[count] = field;
        ++count;
        if (pos >= line.size()) return count;
        ++pos;  // the comma
    }
}

Fault ReadPass(std::string_view text, ResultsStore& into, MomentReader& moments, int way) {
    into.Clear();
    Lines lines(text);
    std::string_view line, fields[kMaxColumns];
    std::string storage[kMaxColumns];

    if (!lines.Next(line)) return {1, kEmptyFile};
    const auto columns = CsvFields(line, fields, storage, kMaxColumns);
    if (!columns || *columns < 3 || *columns > kMaxColumns) return {1, kNotResults};
    for (int c = 0; c < *columns; ++c)
        if (fields[c] != kColumns[c]) return {1, kNotResults};
    if (!lines.Ended()) return {1, kIncomplete};
    into.humidityInFile = *columns >= 4;

    int blankLine = 0;  // a blank line, allowed only after the last record
    while (lines.Next(line)) {
        const int n = lines.Number();
        if (IsBlank(line)) {
            if (!blankLine) blankLine = n;
            continue;
        }
        if (blankLine || !lines.Ended()) return {blankLine ? blankLine : n, kIncomplete};
        const auto count = CsvFields(line, fields, storage, kMaxColumns);
        if (!count || *count < *columns) return {n, kIncomplete};
        if (*count > *columns) return {n, kTooManyFields};
        const auto moment = moments.Read(fields[1], way);
        if (Fault fault = CheckNextRecord(into, n, fields[0], moment)) return fault;
        const auto temperature = ReadNumber(fields[2]);
        const auto humidity = into.humidityInFile ? ReadNumber(fields[3]) : std::optional<float>(0.0f);
        if (!temperature || !humidity) return {n, kBadNumber};
        into.Append(*temperature, *humidity, *moment);
    }
    return {};
}

}  // namespace

bool LooksLikeCsv(std::string_view text) {
    const std::string_view header = "record,";
    return text.substr(0, header.size()) == header || text.substr(0, header.size() + 1) == "\"record\",";
}

Fault ReadCsv(std::string_view text, ResultsStore& into) {
    MomentReader moments(MomentReader::Order::IsoFirst);
    return ReadWithEachWay(moments.WayCount(), [&](int way) { return ReadPass(text, into, moments, way); });
}

}  // namespace quorvex::reading
