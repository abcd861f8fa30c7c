#include "logs/ResultsReader.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>

#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

#include "i18n/ProgramTexts.h"
#include "logs/LoggerInfo.h"
#include "logs/ResultsReaderParts.h"

namespace quorvex {
namespace reading {

bool Lines::Next(std::string_view& line) {
    if (pos_ >= text_.size()) return false;
    const std::size_t end = text_.find('\n', pos_);
    ended_ = end != std::string_view::npos;
    const std::size_t stop = ended_ ? end : text_.size();
    line = text_.substr(pos_, stop - pos_);
    if (ended_ && !line.empty() && line.back() == '\r') line.remove_suffix(1);
    pos_ = ended_ ? end + 1 : text_.size();
    ++number_;
    return true;
}

int SplitFields(std::string_view line, char separator, std::string_view* fields, int max) {
    int count = 0;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = line.find(separator, start);
        if (count < max) fields[count] = line.substr(start, end == std::string_view::npos ? end : end - start);
        ++count;
        if (end == std::string_view::npos) return count;
        start = end + 1;
    }
}

bool IsBlank(std::string_view text) { return text.find_first_not_of(" \t") == std::string_view::npos; }

std::optional<float> ReadNumber(std::string_view text) {
    const std::size_t first = text.find_first_not_of(" \t");
    if (first == std::string_view::npos) return std::nullopt;
    text = text.substr(first, text.find_last_not_of(" \t") - first + 1);
    char buffer[32];
    if (text.size() >= sizeof buffer) return std::nullopt;
    std::size_t n = 0;
    bool digits = false, separator = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            digits = true;
            buffer[n++] = c;
        } else if ((c == '-' || c == '+') && i == 0) {
            if (c == '-') buffer[n++] = c;
        } else if ((c == '.' || c == ',') && !separator) {
            separator = true;
            buffer[n++] = '.';
        } else {
            return std::nullopt;
        }
    }
    if (!digits) return std::nullopt;
    double value = 0;
    const auto [end, ec] = std::from_chars(buffer, buffer + n, value);
    if (ec != std::errc() || end != buffer + n) return std::nullopt;
    if (!std::isfinite(value) || std::fabs(value) > std::numeric_limits<float>::max()) return std::nullopt;
    return static_cast<float>(value);
}

std::optional<int> ReadRecordNumber(std::string_view text) {
    int value = 0;
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return std::nullopt;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec != std::errc() || end != text.data() + text.size() || value < 1) return std::nullopt;
    return value;
}

std::optional<QString> DecodeUtf8(std::string_view bytes) {
    QStringDecoder decoder(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = decoder(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (decoder.hasError()) return std::nullopt;
    return text;
}

Fault CheckNextRecord(const ResultsStore& store, int line, std::string_view number, std::optional<Moment> moment) {
    const auto n = ReadRecordNumber(number);
    if (!n) return {line, kBadNumber};
    if (*n != store.Count() + 1) return {line, kOutOfOrder};
    if (!moment) return {line, kBadMoment, true};
    if (!store.IsEmpty() && *moment < store.At(store.Count() - 1).time) return {line, kEarlier, true};
    return {};
}

}  // namespace reading

namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

// The save interval from the time stamps: their mean spacing in whole seconds.
void TakeIntervalFromStamps(ResultsStore& store) {
    store.intervalSeconds = 0;
    store.writeInterval.clear();
    if (store.Count() < 2) return;
    const double seconds = (store.At(store.Count() - 1).time - store.At(0).time) * 86400.0 / (store.Count() - 1);
    const double whole = std::round(seconds);
    if (!(whole >= 1.0) || whole > std::numeric_limits<std::int32_t>::max()) return;
    store.intervalSeconds = static_cast<std::int32_t>(whole);
    store.writeInterval = IntervalText(static_cast<std::uint32_t>(store.intervalSeconds));
}

QString OpenFailure(const QString& path, const QString& reason) {
    return FileProblemText(TranslateText(QStringLiteral("[2123]Nie można otworzyć pliku wyników")), path, reason);
}

}  // namespace

ReadResultsOutcome ReadResults(QByteArrayView bytes, const QString& path, ResultsStore& into) {
    using namespace reading;
    into.Clear();
    std::string_view text(bytes.data(), static_cast<std::size_t>(bytes.size()));
    if (text.substr(0, kUtf8Bom.size()) == kUtf8Bom) text.remove_prefix(kUtf8Bom.size());
    Fault fault;
    if (text.empty())
        fault = {1, kEmptyFile};
    else if (LooksLikeCsv(text))
        fault = ReadCsv(text, into);
    else
        fault = ReadText(text, into);
    if (fault) {
        const QString where = TranslateText(QStringLiteral("[2124]Wiersz")) + u' ' + QString::number(fault.line) +
                              QStringLiteral(": ") + TranslateText(fault.reason);
        return {false, fault.line, OpenFailure(path, where)};
    }
    into.sourceFile = path;
    TakeIntervalFromStamps(into);
    return {true, 0, {}};
}

ReadResultsOutcome ReadResultsFile(const QString& path, ResultsStore& into) {
    into.Clear();
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) return {false, 0, OpenFailure(path, file.errorString())};
    // Mapped rather than read: a file of a million records is read in place.
    if (file.size() > 0) {
        if (const uchar* data = file.map(0, file.size())) {
            return ReadResults(QByteArrayView(reinterpret_cast<const char*>(data), file.size()), path, into);
        }
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) return {false, 0, OpenFailure(path, file.errorString())};
    return ReadResults(bytes, path, into);
}

}  // namespace quorvex
