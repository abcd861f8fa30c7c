#pragma once
// Dates and times as the operator sees and types them, and Moment, the day
// count every date-time value of the program is kept in.
#include <QDate>
#include <QDateTime>
#include <QLocale>
#include <QString>
#include <QTime>
#include <cstdint>
#include <optional>

namespace quorvex {

// Days since 30 December 1899; the fraction is the time of day. For negative
// values the integer part counts days back and the fraction still runs forward
// in that day (-1.25 is 29 December 1899, 06:00).
using Moment = double;

// Day 0 of Moment, 30 December 1899. A constant expression, so that it holds
// its value before any start-up code of another file asks for a date.
inline constexpr QDate kMomentEpoch = QDate::fromJulianDay(2'415'019);

// The one place where Moment meets Qt. Only the calendar and clock fields
// travel: no time zone is applied either way, and the QDateTime comes back in
// UTC so that no local daylight-saving gap can make a logger time invalid.
Moment ToMoment(QDate date, QTime time);
Moment ToMoment(const QDateTime& dt);
// Invalid for NaN, infinity and values outside years 1..9999. Rounded to the millisecond.
QDateTime FromMoment(Moment value);
// Whole seconds since day 0 as a Moment; the fraction of a negative day still runs forward,
// as everywhere in the program.
Moment MomentFromSeconds(std::int64_t seconds);

// Formats of the default locale (QLocale()), adjusted so that what they print
// reads back unchanged: the short date always has a four-digit year, and the
// long time has no time-zone field.
QString ShortDateFormat();
QString LongTimeFormat();
// The same for any locale.
QString ShortDateFormat(const QLocale& locale);
QString LongTimeFormat(const QLocale& locale);
QChar TimeSeparator();
// A format whose two-digit day, month, hour, minute and second fields also
// take one digit, so that "5.3.2015" reads as well as "05.03.2015".
QString RelaxedFormat(QString format);

// Empty when the fields are no calendar date in years 1..9999 or no clock time.
QString DateText(int year, int month, int day);
QString TimeText(int hour, int minute, int second);

// A date with an optional time, or a time alone, in the locale's formats (a
// time alone stands on day 0, 30 December 1899; a date alone at midnight).
// Accepts every text DateText and TimeText produce, also with one-digit fields.
std::optional<QDateTime> ParseDateTimeText(const QString& text);

// Save interval: "<days>d  HH'h':mm'm':ss's'" with the locale's time separator.
QString IntervalText(std::uint32_t seconds);

}  // namespace quorvex
