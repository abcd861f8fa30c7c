#include "logs/ResultsFile.h"

#include <QDir>
#include <QHash>
#include <QLocale>
#include <QSaveFile>
#include <charconv>
#include <cstring>

#include "logs/LoggerInfo.h"
#include "params/Codecs.h"

namespace quorvex {
namespace {

constexpr qsizetype kFlushSize = 1 << 20;
constexpr qsizetype kCacheLimit = 100000;  // distinct texts kept per cache

bool IsBlankOrControl(QChar c) { return c.unicode() <= 0x20 || c.category() == QChar::Other_Control || c.isSpace(); }

QString TrimBlanksAndControls(const QString& text) {
    qsizetype begin = 0, end = text.size();
    while (begin < end && IsBlankOrControl(text[begin])) ++begin;
    while (end > begin && IsBlankOrControl(text[end - 1])) --end;
    return text.mid(begin, end - begin);
}

// Texts of a long file repeat: days change rarely, times of day and values
// come from a small set. Each text is formatted once and reused.
class TextCache {
public:
    template <class Make>
    const QByteArray& Get(qint64 key, Make make) {
        auto it = texts_.constFind(key);
        if (it != texts_.constEnd()) return *it;
        if (texts_.size() >= kCacheLimit) texts_.clear();
        return *texts_.insert(key, make().toUtf8());
    }

private:
    QHash<qint64, QByteArray> texts_;
};

qint64 FloatKey(float value) {
    std::uint32_t bits = 0;
    std::memcpy(&bits, &value, sizeof bits);
    return bits;
}

}  // namespace

QString ProposedResultsFileName(const QString& loggerName, const QString& startDateText,
                                const QString& startTimeText) {
    QString name = loggerName.isEmpty() ? QStringLiteral("Logger") : loggerName;
    name = TrimBlanksAndControls(name);
    name += u' ' + startDateText + u' ' + startTimeText;
    for (QChar& c : name)
        if (QStringView(u"<>:\\/|?*").contains(c)) c = u'_';
    return TrimBlanksAndControls(name);
}

QString ProposedResultsFileName(const MLogi& store, const MDataParametry& params) {
    return ProposedResultsFileName(store.loggerName, params.Param<CLogStartDate>().GetText(),
                                   params.Param<CLogStartTime>().GetText());
}

bool WriteResults(QIODevice& out, const MLogi& store) {
    QByteArray buffer;
    buffer.reserve(kFlushSize + 4096);
    const auto flush = [&]() {
        const bool ok = out.write(buffer) == buffer.size();
        buffer.clear();
        return ok;
    };

    buffer += (TranslateText(QStringLiteral("[1053]Nazwa")) + u'\t' + store.loggerName + QStringLiteral("\r\n")).toUtf8();
    buffer += (TranslateText(QStringLiteral("[1054]Typ")) + u'\t' + store.loggerType + QStringLiteral("\r\n")).toUtf8();
    buffer += (QStringLiteral("Serial\t") + store.serialNumber + QStringLiteral("\r\n")).toUtf8();
    for (int i = 0; i < 4; ++i) buffer += " \r\n";

    const bool humidity = store.HasHumidity();
    const QLocale locale;
    const QString dateFormat = ShortDateFormat();
    const QString timeFormat = LongTimeFormat();
    // The system's number format, not whatever separator was typed on screen last.
    const QChar separator = SystemDecimalSeparator();
    TextCache dates, times, numbers;
    char digits[16];

    for (int i = 0; i < store.Count(); ++i) {
        const MstrLog& r = store.At(i);
        const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, i + 1);
        buffer.append(digits, end - digits);
        buffer += '\t';

        const QDateTime moment = FromTDateTime(r.time);
        const QDate date = moment.date();
        const QTime time = moment.time();
        buffer += dates.Get(date.toJulianDay(), [&] { return locale.toString(date, dateFormat); });
        buffer += ' ';
        buffer += times.Get(time.msecsSinceStartOfDay(), [&] { return locale.toString(time, timeFormat); });
        buffer += '\t';
        buffer += numbers.Get(FloatKey(r.temperature), [&] { return NumberText(r.temperature, separator); });
        buffer += '\t';
        if (humidity) buffer += numbers.Get(FloatKey(r.humidity), [&] { return NumberText(r.humidity, separator); });
        buffer += "\r\n";
        if (buffer.size() >= kFlushSize && !flush()) return false;
    }
    return flush();
}

SaveResultsOutcome SaveResultsFile(const QString& path, const MLogi& store) {
    QSaveFile file(path);
    QString reason;
    if (!file.open(QIODevice::WriteOnly)) {
        reason = file.errorString();
    } else if (!WriteResults(file, store)) {
        reason = file.errorString();
        file.cancelWriting();
    } else if (!file.commit()) {
        reason = file.errorString();
    }
    if (reason.isEmpty()) return {true, {}};
    return {false, TranslateText(QStringLiteral("[2000]Nie można zapisać pliku wyników")) + u'\n' +
                       QDir::toNativeSeparators(path) + u'\n' + reason};
}

}  // namespace quorvex
