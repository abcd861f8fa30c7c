#include "chart/ColumnEnvelopes.h"

#include <algorithm>
#include <cmath>

#include "chart/PixelMath.h"
#include "logs/ResultsStore.h"

namespace quorvex {

namespace {

using Series = ColumnEnvelopes::Series;
using Step = ColumnEnvelopes::Step;

// Value v of a record after the first of its column; a step that reaches a new
// extreme (or must be kept anyway) is kept.
inline void Take(Series& s, std::vector<Step>& steps, float previous, float v, bool keepStep) {
    if (v > s.high) {
        s.high = v;
        keepStep = true;
    } else if (v < s.low) {
        s.low = v;
        keepStep = true;
    }
    if (keepStep) [[unlikely]] {
        steps.push_back({previous, v});
        s.stepsEnd = static_cast<std::uint32_t>(steps.size());
    }
    s.last = v;
}

inline void Open(Series& s, const std::vector<Step>& steps, float v) {
    s.first = s.last = s.low = s.high = v;
    s.stepsBegin = s.stepsEnd = static_cast<std::uint32_t>(steps.size());
}

// The first record position after i that lies right of column x (last + 1
// when none does). Estimated from the scale, then settled with the exact
// column of each candidate, so it agrees with PixelColumn to the last record.
int NextColumnStart(const EnvelopeKey& key, int i, int x) {
    const int last = key.last;
    if (!(key.xStep > 0.0f)) return last + 1;  // every record in one column
    const double estimate = std::ceil((static_cast<double>(x) + 1.0 - key.x0) / key.xStep);
    int next = static_cast<int>(std::clamp(estimate, static_cast<double>(i) + 1.0, static_cast<double>(last) + 1.0));
    while (next > i + 1 && PixelColumn(key.x0, key.xStep, next - 1) > x) --next;
    while (next <= last && PixelColumn(key.x0, key.xStep, next) <= x) ++next;
    return next;
}

}  // namespace

void ColumnEnvelopes::Update(const EnvelopeKey& key, const ResultsStore& source) {
    if (built_ && key == key_) return;
    key_ = key;
    built_ = true;
    columns_.clear();
    for (auto& steps : steps_) steps.clear();
    if (key.last < 0 || key.firstIndex < 0 || key.firstIndex + key.last >= source.Count()) return;

    auto& temps = steps_[kTemperature];
    auto& hums = steps_[kHumidity];
    int i = 0, nextColumn = 0;
    float previousTemp = 0.0f, previousHum = 0.0f;
    source.ForEach(key.firstIndex, key.firstIndex + key.last, [&](const LogRecord& r) {
        const bool finite = std::isfinite(r.temperature) && std::isfinite(r.humidity);
        if (i == nextColumn) {
            Column& c = columns_.emplace_back();
            c.x = PixelColumn(key.x0, key.xStep, i);
            c.firstRecord = c.lastRecord = i;
            c.finite = finite;
            Open(c.series[kTemperature], temps, r.temperature);
            Open(c.series[kHumidity], hums, r.humidity);
            nextColumn = NextColumnStart(key, i, c.x);
        } else {
            Column& c = columns_.back();
            c.lastRecord = i;
            c.finite = c.finite && finite;
            const bool chartStart = i == 1;
            Take(c.series[kTemperature], temps, previousTemp, r.temperature, chartStart);
            Take(c.series[kHumidity], hums, previousHum, r.humidity, chartStart);
        }
        previousTemp = r.temperature;
        previousHum = r.humidity;
        ++i;
    });
}

}  // namespace quorvex
