#include "core/SimClock.h"

#include <chrono>
#include <cstdio>

#include <QDateTime>

namespace quorvex::sim {

std::int64_t SteadyMilliseconds() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

std::int64_t LocalWallNowMs() {
    const QDateTime local = QDateTime::currentDateTime();
    // Re-read the local fields as if they were UTC: the logger's calendar has no zone.
    return QDateTime(local.date(), local.time(), Qt::UTC).toMSecsSinceEpoch();
}

std::optional<std::int64_t> WallFromFields(const WallFields& f) {
    const QDate date(f.year, f.month, f.day);
    if (!date.isValid() || !QTime::isValid(f.hour, f.minute, f.second, 0)) return std::nullopt;
    return QDateTime(date, QTime(f.hour, f.minute, f.second), Qt::UTC).toMSecsSinceEpoch();
}

WallFields FieldsFromWall(std::int64_t wallMs) {
    const QDateTime t = QDateTime::fromMSecsSinceEpoch(wallMs, Qt::UTC);
    return {t.date().year(), t.date().month(), t.date().day(), t.time().hour(), t.time().minute(), t.time().second()};
}

std::optional<std::int64_t> ParseWall(const std::string& text) {
    WallFields f;
    char sep = 0;
    int consumed = 0;
    const int n = std::sscanf(text.c_str(), "%4d-%2d-%2d%c%2d:%2d:%2d%n", &f.year, &f.month, &f.day, &sep, &f.hour,
                              &f.minute, &f.second, &consumed);
    if (n == 7 && (sep == ' ' || sep == 'T') && static_cast<std::size_t>(consumed) == text.size())
        return WallFromFields(f);
    f = {};
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d%n", &f.year, &f.month, &f.day, &consumed) == 3 &&
        static_cast<std::size_t>(consumed) == text.size())
        return WallFromFields(f);
    return std::nullopt;
}

std::string FormatWall(std::int64_t wallMs) {
    const WallFields f = FieldsFromWall(wallMs);
    char buf[32];
    std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", f.year, f.month, f.day, f.hour, f.minute, f.second);
    return buf;
}

SimClock::SimClock(std::int64_t startWallMs, Monotonic monotonic)
    : monotonic_(std::move(monotonic)), baseWall_(startWallMs), baseMonotonic_(monotonic_()) {}

std::int64_t SimClock::NowMs() const { return baseWall_ + (monotonic_() - baseMonotonic_); }

void SimClock::Set(std::int64_t wallMs) {
    baseWall_ = wallMs;
    baseMonotonic_ = monotonic_();
}

}  // namespace quorvex::sim
