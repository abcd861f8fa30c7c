#include "logs/DewPointSeries.h"

#include <algorithm>
#include <limits>

#include "logs/DewPoint.h"

namespace quorvex {

void DewPointSeries::Update(const ResultsStore& store) {
    const bool humidity = store.HasHumidity();
    const auto count = static_cast<std::size_t>(store.Count());
    if (&store != store_ || store.Generation() != generation_ || humidity != humidity_ || count < values_.size()) {
        store_ = &store;
        generation_ = store.Generation();
        humidity_ = humidity;
        values_.clear();
        any_ = false;
    }
    if (!humidity_ || count == values_.size()) return;
    const int first = static_cast<int>(values_.size());
    values_.reserve(count);
    store.ForEach(first, static_cast<int>(count) - 1, [this](const LogRecord& r) {
        const auto dew = DewPoint(r.temperature, r.humidity);
        values_.push_back(dew ? *dew : std::numeric_limits<float>::quiet_NaN());
        if (!dew) return;
        min_ = any_ ? std::min(min_, *dew) : *dew;
        max_ = any_ ? std::max(max_, *dew) : *dew;
        any_ = true;
    });
}

}  // namespace quorvex
