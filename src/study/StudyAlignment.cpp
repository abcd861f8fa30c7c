#include "study/StudyAlignment.h"

#include <algorithm>

namespace quorvex {

namespace {

constexpr double kMsPerDay = 86'400'000.0;

}  // namespace

SpreadTrack TrackSpread(const std::vector<TimedReadings>& positions, std::int64_t gridStartMs, std::int64_t stepMs,
                        std::int64_t fromMs, std::int64_t toMs, bool withUncertainty) {
    SpreadTrack track;
    if (stepMs <= 0 || toMs < fromMs) return track;
    // The first grid moment not before the analysed time.
    std::int64_t moment = gridStartMs;
    if (moment < fromMs) moment += (fromMs - gridStartMs + stepMs - 1) / stepMs * stepMs;
    // Each position's next unread record: the grid only moves forward, so each record is passed once.
    std::vector<std::size_t> next(positions.size(), 0);
    for (; moment <= toMs; moment += stepMs) {
        int readings = 0;
        float warmest = 0.0f, coldest = 0.0f, warmestU = 0.0f, coldestU = 0.0f;
        for (std::size_t p = 0; p < positions.size(); ++p) {
            const TimedReadings& r = positions[p];
            std::size_t& k = next[p];
            while (k < r.milliseconds.size() && r.milliseconds[k] <= moment) ++k;
            if (k == 0 || moment - r.milliseconds[k - 1] >= r.intervalMs) continue;  // no current reading
            const float value = r.temperatures[k - 1];
            if (readings == 0 || value > warmest) {
                warmest = value;
                warmestU = r.uncertainty;
            }
            if (readings == 0 || value < coldest) {
                coldest = value;
                coldestU = r.uncertainty;
            }
            ++readings;
        }
        if (readings < 2) continue;
        const SpreadPoint point{static_cast<double>(moment) / kMsPerDay, warmest - coldest};
        track.points.push_back(point);
        if (!track.largest || point.value > track.largest->value) track.largest = point;
        const float judged = point.value + (withUncertainty ? warmestU + coldestU : 0.0f);
        track.largestJudged = std::max(track.largestJudged, judged);
    }
    return track;
}

}  // namespace quorvex
