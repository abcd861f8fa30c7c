#pragma once
// TimeStep, the spacing of the round moments the chart's time axis is
// labelled at: whole minutes or hours counted from midnight, whole days,
// weeks from Monday, or calendar months. The chart picks the finest step
// whose labels still fit side by side over the visible span.
#include <QtGlobal>

#include "params/DateTimeCodec.h"

namespace quorvex {

class TimeStep {
public:
    static TimeStep Seconds(qint64 seconds);
    static TimeStep Months(int months);

    // The finest step at which `spanSeconds` spread over `pixels` leave at
    // least `timePixels` between two marks labelled with a time of day, or
    // `datePixels` between two labelled with a date; one minute at the finest.
    static TimeStep ForSpan(double spanSeconds, double pixels, int timePixels, int datePixels);

    // Number of the step interval holding `moment`; it grows with time.
    qint64 Interval(Moment moment) const;
    // The round moment that interval begins at.
    Moment Start(qint64 interval) const;
    // `moment` is itself a round moment of this step (to the second).
    bool Begins(Moment moment) const;

    // A day or more: its marks are labelled with dates rather than times.
    bool InDays() const { return months_ > 0 || seconds_ >= 86400; }
    // Its length in seconds (a month counted as 30 days).
    double ApproxSeconds() const { return months_ > 0 ? months_ * 30.0 * 86400.0 : static_cast<double>(seconds_); }

    friend bool operator==(const TimeStep&, const TimeStep&) = default;

private:
    qint64 seconds_ = 60;  // when months_ is 0
    qint64 offset_ = 0;    // seconds from the day count's origin to a round moment
    int months_ = 0;
};

}  // namespace quorvex
