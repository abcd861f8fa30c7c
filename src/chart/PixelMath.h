#pragma once
// Pixel coordinates of the chart: a coordinate computed in double precision
// and truncated toward zero, kept far inside int so that an absurd value (a
// huge record index, a collapsed scale) cannot overflow; NaN goes to the far
// negative side. Shared by the engine and the column envelopes so that both
// put a record in exactly the same pixel column.
namespace quorvex {

inline int TruncatePixel(double value) {
    if (!(value > -1e8)) return -100000000;
    if (value > 1e8) return 100000000;
    return static_cast<int>(value);
}

// The pixel column of record position i (counted from the first shown record).
inline int PixelColumn(int x0, float xStep, int i) {
    return TruncatePixel(x0 + static_cast<double>(static_cast<float>(i)) * xStep);
}

}  // namespace quorvex
