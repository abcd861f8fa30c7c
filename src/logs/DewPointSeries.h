#pragma once
// The dew point (DewPoint.h) of every record of a results store with humidity, kept beside
// the store for whoever draws or scans it many times (the chart): each record's value is
// computed once, when the record has arrived, not at every paint.
#include <cstdint>
#include <vector>

#include "logs/ResultsStore.h"

namespace quorvex {

class DewPointSeries {
public:
    // Brings the values in line with the store: only the records added since the last call
    // are computed; a store that was cleared or replaced, or another store, starts afresh.
    // A store without humidity has no values.
    void Update(const ResultsStore& store);

    // One value a record (index as in the store), NaN where a record has none (0 % humidity).
    const std::vector<float>& Values() const { return values_; }
    // The lowest and highest value; Any() is false while no record has one.
    bool Any() const { return any_; }
    float Min() const { return min_; }
    float Max() const { return max_; }

private:
    const ResultsStore* store_ = nullptr;
    std::uint64_t generation_ = 0;
    bool humidity_ = false;
    std::vector<float> values_;
    bool any_ = false;
    float min_ = 0.0f, max_ = 0.0f;
};

}  // namespace quorvex
