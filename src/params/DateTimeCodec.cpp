#include "params/DateTimeCodec.h"

#include <QLocale>
#include <QStringList>
#include <cmath>

namespace quorvex {
namespace {

constexpr qint64 kMsPerDay = 86'400'000;

bool InRange(QDate d) { return d.isValid() && d.year() >= 1 && d.year() <= 9999; }

// Removes an unquoted format letter run (e.g. the zone field "t") and the
// spaces before it.
QString DropField(const QString& format, QChar letter) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size(); ++i) {
        const QChar c = format[i];
        if (c == u'\'') quoted = !quoted;
        if (!quoted && c == letter) {
            while (out.endsWith(u' ')) out.chop(1);
            continue;
        }
        out.append(c);
    }
    return out.trimmed();
}

// Replaces every unquoted run of a letter with `replacement` when the run has
// the given length (or any length when 0).
QString ReplaceRuns(const QString& format, QChar letter, qsizetype runLength, const QString& replacement) {
    QString out;
    bool quoted = false;
    for (qsizetype i = 0; i < format.size();) {
        const QChar c = format[i];
        if (c == u'\'') quoted = !quoted;
        if (quoted || c != letter) {
            out.append(c);
            ++i;
            continue;
        }
        qsizetype j = i;
        while (j < format.size() && format[j] == letter) ++j;
        out.append((runLength == 0 || j - i == runLength) ? replacement : format.mid(i, j - i));
        i = j;
    }
    return out;
}

QStringList DateFormats() { return {ShortDateFormat(), RelaxedFormat(ShortDateFormat())}; }

QStringList TimeFormats() {
    const QLocale loc;
    const QString shortTime = DropField(loc.timeFormat(QLocale::ShortFormat), u't');
    return {LongTimeFormat(), RelaxedFormat(LongTimeFormat()), shortTime, RelaxedFormat(shortTime)};
}

std::optional<QDate> ParseDate(const QString& text) {
    const QLocale loc;
    for (const QString& f : DateFormats()) {
        const QDate d = loc.toDate(text, f);
        if (InRange(d)) return d;
    }
    return std::nullopt;
}

std::optional<QTime> ParseTime(const QString& text) {
    const QLocale loc;
    for (const QString& f : TimeFormats()) {
        const QTime t = loc.toTime(text, f);
        if (t.isValid()) return t;
    }
    return std::nullopt;
}

}  // namespace

Moment MomentFromSeconds(std::int64_t seconds) {
    constexpr std::int64_t kSecondsPerDay = 86400;
    std::int64_t days = seconds / kSecondsPerDay;
    std::int64_t rest = seconds % kSecondsPerDay;
    if (rest < 0) {
        rest += kSecondsPerDay;
        --days;
    }
    const double fraction = static_cast<double>(rest) / kSecondsPerDay;
    return days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
}

Moment ToMoment(QDate date, QTime time) {
    const double days = static_cast<double>(kMomentEpoch.daysTo(date));
    const double fraction = static_cast<double>(time.msecsSinceStartOfDay()) / kMsPerDay;
    return days < 0 ? days - fraction : days + fraction;
}

Moment ToMoment(const QDateTime& dt) { return ToMoment(dt.date(), dt.time()); }

QDateTime FromMoment(Moment value) {
    // Years 1..9999 span about -693594 .. 2958466 days.
    if (!std::isfinite(value) || value < -693594.0 || value >= 2958466.0) return {};
    double whole = std::trunc(value);
    qint64 ms = std::llround(std::fabs(value - whole) * kMsPerDay);
    if (ms >= kMsPerDay) {  // rounding reached the next midnight
        ms -= kMsPerDay;
        whole += value < 0 ? -1.0 : 1.0;
    }
    const QDate date = kMomentEpoch.addDays(static_cast<qint64>(whole));
    if (!InRange(date)) return {};
    return QDateTime(date, QTime::fromMSecsSinceStartOfDay(static_cast<int>(ms)), Qt::UTC);
}

QString ShortDateFormat() { return ShortDateFormat(QLocale()); }

QString LongTimeFormat() { return LongTimeFormat(QLocale()); }

QString ShortDateFormat(const QLocale& locale) {
    // Four-digit years: "yy" alone would read 2015 back as 1915.
    return ReplaceRuns(locale.dateFormat(QLocale::ShortFormat), u'y', 0, QStringLiteral("yyyy"));
}

QString LongTimeFormat(const QLocale& locale) { return DropField(locale.timeFormat(QLocale::LongFormat), u't'); }

QString RelaxedFormat(QString format) {
    for (QChar letter : {u'd', u'M', u'h', u'H', u'm', u's'}) format = ReplaceRuns(format, letter, 2, QString(letter));
    return format;
}

QChar TimeSeparator() {
    const QString f = QLocale().timeFormat(QLocale::ShortFormat);
    bool quoted = false;
    for (qsizetype i = 1; i < f.size(); ++i) {
        if (f[i] == u'\'') quoted = !quoted;
        if (!quoted && (f[i - 1] == u'h' || f[i - 1] == u'H') && !f[i].isLetter()) return f[i];
    }
    return u':';
}

QString DateText(int year, int month, int day) {
    const QDate d(year, month, day);
    if (!InRange(d)) return {};
    return QLocale().toString(d, ShortDateFormat());
}

QString TimeText(int hour, int minute, int second) {
    const QTime t(hour, minute, second);
    if (!t.isValid()) return {};
    return QLocale().toString(t, LongTimeFormat());
}

std::optional<QDateTime> ParseDateTimeText(const QString& input) {
    const QString text = input.simplified();
    if (text.isEmpty()) return std::nullopt;
    if (auto d = ParseDate(text)) return QDateTime(*d, QTime(0, 0), Qt::UTC);
    if (auto t = ParseTime(text)) return QDateTime(kMomentEpoch, *t, Qt::UTC);
    // A date and a time: try each space as the border between them (en_US
    // times contain a space themselves, so the first one may not be it).
    for (qsizetype i = text.indexOf(u' '); i > 0; i = text.indexOf(u' ', i + 1)) {
        const auto d = ParseDate(text.left(i));
        if (!d) continue;
        if (auto t = ParseTime(text.mid(i + 1))) return QDateTime(*d, *t, Qt::UTC);
    }
    return std::nullopt;
}

QString IntervalText(std::uint32_t seconds) {
    const std::uint32_t days = seconds / 86400;
    const std::uint32_t rest = seconds % 86400;
    const QTime clock(static_cast<int>(rest / 3600), static_cast<int>(rest % 3600 / 60), static_cast<int>(rest % 60));
    const QString sep = TimeSeparator();
    const QString pattern = QStringLiteral("HH'h'") + sep + QStringLiteral("mm'm'") + sep + QStringLiteral("ss's'");
    return QString::number(days) + QStringLiteral("d  ") + clock.toString(pattern);
}

}  // namespace quorvex
