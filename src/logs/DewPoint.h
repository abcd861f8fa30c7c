#pragma once
// The dew point of a record: the temperature at which the air of the record
// would start to leave water on a surface. Magnus formula over water with the
// coefficients of Sonntag (1990): 6.112 hPa, 17.62, 243.12 °C,
//   γ = ln(RH/100) + 17.62·T/(243.12 + T),   Td = 243.12·γ/(17.62 − γ).
// Below 0 °C the formula stays the one over water, as hygrometers state
// relative humidity over water at any temperature: the result is the dew point
// over supercooled water, a little below the frost point.
#include <optional>

namespace quorvex {

// Degrees Celsius rounded to one decimal (halves away from zero), as every
// value of a record is. Nothing for a humidity at or below 0 % (dry air has no
// dew point: the formula's logarithm has no value there), for a temperature at
// or below −243.12 °C, and for a value that is not a number.
std::optional<float> DewPoint(float temperature, float humidity);

// The same without the rounding, for sums and comparisons that want the full value.
std::optional<double> DewPointExact(double temperature, double humidity);

}  // namespace quorvex
