#include "chart/TimeStep.h"

#include <QDate>

#include <cmath>
#include <iterator>

namespace quorvex {

namespace {

constexpr qint64 kDay = 86400;

qint64 FloorDiv(qint64 a, qint64 b) {
    const qint64 q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

// Seconds since the day count's origin, running forward also before it (a
// negative moment counts its days back but its fraction forward).
qint64 LinearSeconds(Moment moment) {
    const double whole = std::trunc(moment);
    const qint64 fraction = std::llround(std::fabs(moment - whole) * kDay);
    return static_cast<qint64>(whole) * kDay + fraction;
}

Moment FromLinearSeconds(qint64 seconds) {
    const qint64 days = FloorDiv(seconds, kDay);
    const double fraction = static_cast<double>(seconds - days * kDay) / kDay;
    return days < 0 ? static_cast<double>(days) - fraction : static_cast<double>(days) + fraction;
}

qint64 MonthNumber(Moment moment) {
    const QDate date = kMomentEpoch.addDays(static_cast<qint64>(std::floor(moment)));
    return static_cast<qint64>(date.year()) * 12 + date.month() - 1;
}

}  // namespace

TimeStep TimeStep::Seconds(qint64 seconds) {
    TimeStep step;
    step.seconds_ = seconds > 0 ? seconds : 60;
    // Weeks begin on a Monday; the day count starts on a Saturday.
    step.offset_ = step.seconds_ % (7 * kDay) == 0 ? 2 * kDay : 0;
    return step;
}

TimeStep TimeStep::Months(int months) {
    TimeStep step;
    step.months_ = months > 0 ? months : 1;
    return step;
}

TimeStep TimeStep::ForSpan(double spanSeconds, double pixels, int timePixels, int datePixels) {
    static const TimeStep kLadder[] = {
        Seconds(60),        Seconds(2 * 60), Seconds(5 * 60),   Seconds(10 * 60),  Seconds(15 * 60),
        Seconds(30 * 60),   Seconds(3600),   Seconds(2 * 3600), Seconds(3 * 3600), Seconds(6 * 3600),
        Seconds(12 * 3600), Seconds(kDay),   Seconds(2 * kDay), Seconds(7 * kDay), Months(1),
        Months(2),          Months(3),       Months(6),         Months(12),
    };
    if (!(spanSeconds > 0.0) || !(pixels > 0.0)) return kLadder[0];
    auto fits = [&](const TimeStep& step) {
        const int room = step.InDays() ? datePixels : timePixels;
        return step.ApproxSeconds() / spanSeconds * pixels >= room;
    };
    for (const TimeStep& step : kLadder)
        if (fits(step)) return step;
    // Beyond a year: whole years, doubled until they fit.
    TimeStep years = kLadder[std::size(kLadder) - 1];
    while (!fits(years) && years.months_ < 12 * 10000) years.months_ *= 2;
    return years;
}

qint64 TimeStep::Interval(Moment moment) const {
    if (months_ > 0) return FloorDiv(MonthNumber(moment), months_);
    return FloorDiv(LinearSeconds(moment) - offset_, seconds_);
}

Moment TimeStep::Start(qint64 interval) const {
    if (months_ > 0) {
        const qint64 month = interval * months_;
        const qint64 year = FloorDiv(month, 12);
        return ToMoment(QDate(static_cast<int>(year), static_cast<int>(month - year * 12) + 1, 1), QTime(0, 0));
    }
    return FromLinearSeconds(interval * seconds_ + offset_);
}

bool TimeStep::Begins(Moment moment) const { return LinearSeconds(moment) == LinearSeconds(Start(Interval(moment))); }

}  // namespace quorvex
