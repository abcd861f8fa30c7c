#pragma once
// The readings of a study's positions lined up on one time grid, and the spread between the
// warmest and the coldest of them at each grid moment (see StudyAnalysis.h for the rule).
#include <cstdint>
#include <optional>
#include <vector>

#include "study/StudyAnalysis.h"

namespace quorvex {

// One position's temperatures (after its offsets) by their moment, in time order.
struct TimedReadings {
    std::vector<std::int64_t> milliseconds;
    std::vector<float> temperatures;
    std::int64_t intervalMs = 0;  // how long a reading stays current
    float uncertainty = 0.0f;     // added to the spread it takes part in when judged with uncertainty
};

struct SpreadTrack {
    std::vector<SpreadPoint> points;
    std::optional<SpreadPoint> largest;  // the first moment the largest spread was reached
    float largestJudged = 0.0f;          // the largest spread widened by the two positions' uncertainties
};

// Grid moments are gridStartMs + k·stepMs within [fromMs, toMs].
SpreadTrack TrackSpread(const std::vector<TimedReadings>& positions, std::int64_t gridStartMs, std::int64_t stepMs,
                        std::int64_t fromMs, std::int64_t toMs, bool withUncertainty);

}  // namespace quorvex
