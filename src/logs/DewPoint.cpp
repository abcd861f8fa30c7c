#include "logs/DewPoint.h"

#include <cmath>

namespace quorvex {
namespace {

constexpr double kB = 17.62;
constexpr double kC = 243.12;  // °C

}  // namespace

std::optional<double> DewPointExact(double temperature, double humidity) {
    if (!(humidity > 0.0) || !(temperature > -kC) || !std::isfinite(temperature) || !std::isfinite(humidity))
        return std::nullopt;
    const double gamma = std::log(humidity / 100.0) + kB * temperature / (kC + temperature);
    if (!(gamma < kB)) return std::nullopt;  // only for humidities far beyond saturation
    return kC * gamma / (kB - gamma);
}

std::optional<float> DewPoint(float temperature, float humidity) {
    const auto exact = DewPointExact(temperature, humidity);
    if (!exact) return std::nullopt;
    const auto rounded = static_cast<float>(std::round(*exact * 10.0) / 10.0);
    return rounded == 0.0f ? 0.0f : rounded;  // never a negative zero
}

}  // namespace quorvex
