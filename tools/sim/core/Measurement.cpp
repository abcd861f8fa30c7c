#include "core/Measurement.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace quorvex::sim {

namespace {
std::uint16_t ToBcd(unsigned value) {
    std::uint16_t bcd = 0;
    for (int shift = 0; shift < 16 && value > 0; shift += 4, value /= 10)
        bcd = static_cast<std::uint16_t>(bcd | ((value % 10) << shift));
    return bcd;
}

unsigned Tenths(double magnitude, unsigned max) {
    const double t = std::round(std::fabs(magnitude) * 10.0);
    return t >= max ? max : static_cast<unsigned>(t);
}

// A reproducible pseudo-random number in [-1, 1] for a seed and a slot.
double Noise(std::uint32_t seed, std::int64_t slot) {
    std::uint64_t z = static_cast<std::uint64_t>(slot) * 0x9E3779B97F4A7C15ULL + seed;
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    z ^= z >> 31;
    return static_cast<double>(z >> 11) / static_cast<double>(1ULL << 52) - 1.0;
}

// Noise that changes smoothly: interpolated between values fixed every `period` seconds.
double SmoothNoise(std::uint32_t seed, std::int64_t seconds, std::int64_t period) {
    const std::int64_t slot = seconds >= 0 ? seconds / period : (seconds - period + 1) / period;
    const double f = static_cast<double>(seconds - slot * period) / static_cast<double>(period);
    const double a = Noise(seed, slot), b = Noise(seed, slot + 1);
    const double s = f * f * (3 - 2 * f);
    return a + (b - a) * s;
}
}  // namespace

std::uint16_t TemperatureField(double celsius) {
    std::uint16_t field = ToBcd(Tenths(celsius, 3999)) & 0x3FFF;
    if (celsius < 0 && field != 0) field |= 0x4000;
    return field;
}

std::uint16_t HumidityField(double percent) {
    return percent <= 0 ? 0 : static_cast<std::uint16_t>(ToBcd(Tenths(percent, 1999)) & 0x1FFF);
}

std::uint32_t PackMeasurement(double celsius, double percent) {
    return (static_cast<std::uint32_t>(TemperatureField(celsius)) << 17) |
           (static_cast<std::uint32_t>(HumidityField(percent)) << 4);
}

Sample MeasureAt(const Climate& c, std::int64_t wallSeconds) {
    constexpr double kDay = 86400.0;
    const double timeOfDay = static_cast<double>(((wallSeconds % 86400) + 86400) % 86400);
    // Warmest at about 15:00, coolest at about 03:00.
    const double daily = std::sin(2 * std::numbers::pi * (timeOfDay - 9 * 3600.0) / kDay);
    const double weather = SmoothNoise(c.seed, wallSeconds, 3 * 86400);  // slow change over days
    const double jitter = SmoothNoise(c.seed ^ 0x5A5A5A5Au, wallSeconds, 1800);
    Sample s;
    s.celsius = c.tempBase + c.tempSwing * daily + 1.5 * weather + 0.3 * jitter;
    if (c.humidity) {
        const double h = c.humBase - c.humSwing * daily - 4.0 * weather + 1.0 * jitter;
        s.percent = std::clamp(h, 0.0, 100.0);
    }
    return s;
}

}  // namespace quorvex::sim
