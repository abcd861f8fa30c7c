#include "logs/ResultsCsv.h"

#include <QDateTime>

#include <charconv>
#include <cstdlib>

#include "logs/DewPoint.h"
#include "logs/TextCache.h"

namespace quorvex {
namespace {

constexpr qsizetype kFlushSize = 1 << 20;

// The local time zone's offset at a clock time. In the hour the clocks skip
// in spring that time does not exist locally: the offset before it is used.
int LocalOffsetSeconds(QDate date, QTime time) {
    const QDateTime local(date, time, Qt::LocalTime);
    if (local.isValid()) return local.offsetFromUtc();
    const QDateTime before = QDateTime(date, time, Qt::UTC).addSecs(-3600);
    return QDateTime(before.date(), before.time(), Qt::LocalTime).offsetFromUtc();
}

// Offsets change on a few days a year, and then at the start of an hour: a
// day whose start and end agree keeps one offset; on the others each hour is
// asked at its start and end, and a record on its own only in an hour that
// holds the change itself.
class OffsetCache {
public:
    int At(QDate date, QTime time) {
        const qint64 day = date.toJulianDay();
        if (day != day_) {
            day_ = day;
            hour_ = -1;
            const int start = LocalOffsetSeconds(date, QTime(0, 0));
            dayOffset_ = LocalOffsetSeconds(date, QTime(23, 59, 59, 999)) == start ? start : kVaries;
        }
        if (dayOffset_ != kVaries) return dayOffset_;
        if (time.hour() == hour_) return hourOffset_;
        const int start = LocalOffsetSeconds(date, QTime(time.hour(), 0));
        if (LocalOffsetSeconds(date, QTime(time.hour(), 59, 59, 999)) != start) return LocalOffsetSeconds(date, time);
        hour_ = time.hour();
        hourOffset_ = start;
        return hourOffset_;
    }

private:
    static constexpr int kVaries = 1 << 30;
    qint64 day_ = -1;
    int dayOffset_ = 0;
    int hour_ = -1;
    int hourOffset_ = 0;
};

QByteArray OffsetText(int seconds) {
    const int minutes = std::abs(seconds) / 60;
    char text[8];
    text[0] = seconds < 0 ? '-' : '+';
    text[1] = static_cast<char>('0' + minutes / 600);
    text[2] = static_cast<char>('0' + minutes / 60 % 10);
    text[3] = ':';
    text[4] = static_cast<char>('0' + minutes % 60 / 10);
    text[5] = static_cast<char>('0' + minutes % 10);
    return QByteArray(text, 6);
}

QByteArray ValueText(float value) {
    // A negative zero reads as 0.0, as in the text file.
    return QByteArray::number(value == 0.0f ? 0.0 : static_cast<double>(value), 'f', 1);
}

}  // namespace

QString IsoMomentText(Moment moment) {
    const QDateTime t = FromMoment(moment);
    return t.toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss")) +
           QString::fromLatin1(OffsetText(LocalOffsetSeconds(t.date(), t.time())));
}

bool WriteResultsCsv(QIODevice& out, const ResultsStore& store, bool dewPoint) {
    QByteArray buffer;
    buffer.reserve(kFlushSize + 4096);
    const auto flush = [&]() {
        const bool ok = out.write(buffer) == buffer.size();
        buffer.clear();
        return ok;
    };
    const bool humidity = store.HasHumidity();
    dewPoint = dewPoint && humidity;
    buffer += humidity ? "record,time,temperature_C,humidity_pct" : "record,time,temperature_C";
    buffer += dewPoint ? ",dew_point_C\r\n" : "\r\n";

    TextCache days, times, values;
    OffsetCache offsets;
    char digits[16];
    for (int i = 0; i < store.Count(); ++i) {
        const LogRecord& r = store.At(i);
        const auto [end, ec] = std::to_chars(digits, digits + sizeof digits, i + 1);
        buffer.append(digits, end - digits);
        buffer += ',';

        const QDateTime moment = FromMoment(r.time);
        const QDate date = moment.date();
        const QTime time = moment.time();
        buffer += days.Get(date.toJulianDay(), [&] { return date.toString(Qt::ISODate).toLatin1(); });
        buffer += 'T';
        buffer += times.Get(time.msecsSinceStartOfDay(), [&] { return time.toString(u"HH:mm:ss").toLatin1(); });
        buffer += OffsetText(offsets.At(date, time));
        buffer += ',';
        buffer += values.Get(FloatKey(r.temperature), [&] { return ValueText(r.temperature); });
        if (humidity) {
            buffer += ',';
            buffer += values.Get(FloatKey(r.humidity), [&] { return ValueText(r.humidity); });
        }
        if (dewPoint) {
            buffer += ',';
            if (const auto dew = DewPoint(r.temperature, r.humidity))
                buffer += values.Get(FloatKey(*dew), [&] { return ValueText(*dew); });
        }
        buffer += "\r\n";
        if (buffer.size() >= kFlushSize && !flush()) return false;
    }
    return flush();
}

}  // namespace quorvex
