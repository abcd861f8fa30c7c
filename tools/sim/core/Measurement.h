#pragma once
// How the logger turns a measured temperature and humidity into words: BCD tenths in packed
// bit fields (temperature bits 17-30 with the sign in bit 31, humidity bits 4-16 of a 32-bit
// value), and the weather it measures: a deterministic day-night curve.
#include <cstdint>

namespace quorvex::sim {

// Tenths of |value| as BCD digits, rounded; capped at the largest value the field holds.
std::uint16_t TemperatureField(double celsius);  // bits 0-13 magnitude, bit 14 sign
std::uint16_t HumidityField(double percent);     // bits 0-12, never negative

// The 32-bit value of one log record (also the packed register pair of the current reading).
std::uint32_t PackMeasurement(double celsius, double percent);

// Parameters of the curve the simulated logger measures.
struct Climate {
    double tempBase = 21.0;  // daily mean, degrees Celsius
    double tempSwing = 3.0;  // half the day-night difference
    double humBase = 45.0;   // daily mean, percent
    double humSwing = 8.0;   // humidity falls while the temperature rises
    bool humidity = true;    // false: a temperature-only logger reports humidity 0
    std::uint32_t seed = 1;
};

struct Sample {
    double celsius = 0;
    double percent = 0;
};

// What the logger measures at a moment given as wall-clock seconds (see SimClock). The same
// moment always gives the same sample, so generated logs are reproducible and the current
// reading drifts smoothly between them.
Sample MeasureAt(const Climate& climate, std::int64_t wallSeconds);

}  // namespace quorvex::sim
