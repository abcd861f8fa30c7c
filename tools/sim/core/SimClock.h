#pragma once
// The logger's own clock. It keeps wall-clock time without a time zone: moments are counted in
// milliseconds since 1970-01-01 00:00 of the logger's calendar, whatever zone the machine is in.
// It runs in real time from a monotonic source, which tests replace to move time at will.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

namespace quorvex::sim {

struct WallFields {
    int year = 1970, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

// Milliseconds of the machine's monotonic clock.
std::int64_t SteadyMilliseconds();

// The machine's local date and time now, as the logger would be set from a computer.
std::int64_t LocalWallNowMs();

// Conversions between wall-clock milliseconds and calendar fields; nullopt for impossible fields.
std::optional<std::int64_t> WallFromFields(const WallFields& f);
WallFields FieldsFromWall(std::int64_t wallMs);

// "YYYY-MM-DD HH:MM:SS" (or "YYYY-MM-DD", or with a 'T'), read the same under every locale.
std::optional<std::int64_t> ParseWall(const std::string& text);
std::string FormatWall(std::int64_t wallMs);

class SimClock {
public:
    using Monotonic = std::function<std::int64_t()>;

    SimClock(std::int64_t startWallMs, Monotonic monotonic = SteadyMilliseconds);

    std::int64_t NowMs() const;
    std::int64_t NowSeconds() const { return FloorDiv(NowMs(), 1000); }
    void Set(std::int64_t wallMs);

    static std::int64_t FloorDiv(std::int64_t a, std::int64_t b) { return a >= 0 ? a / b : (a - b + 1) / b; }

private:
    Monotonic monotonic_;
    std::int64_t baseWall_;
    std::int64_t baseMonotonic_;
};

}  // namespace quorvex::sim
