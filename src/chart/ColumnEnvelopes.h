#pragma once
// The shown records of a chart summed up per pixel column. For each series a
// column keeps the first, last, lowest and highest value of the records that
// fall in it, and the steps between consecutive records of the column that
// reach a new lowest or highest value: within a column only such a step can
// paint a pixel the column has not painted yet, so the chart draws a column
// from these instead of walking its records (thousands, when a million records
// share 1200 columns).
//
// They depend only on which records fall in which column (the store, the
// window and the horizontal scale), not on the value range or the height, so
// they are built once per window and reused by every repaint.
#include <cstdint>
#include <vector>

namespace quorvex {

class ResultsStore;

// What one set of envelopes was built from.
struct EnvelopeKey {
    const ResultsStore* source = nullptr;
    // ResultsStore::Generation: records are only ever appended to a generation, so
    // one with the same window and count of drawn records holds the same ones.
    std::uint64_t generation = 0;
    int firstIndex = 0;  // first shown record
    int last = -1;       // last record position drawn, counted from firstIndex
    int x0 = 0;          // column of position 0
    float xStep = 0.0f;  // pixels per record
    friend bool operator==(const EnvelopeKey&, const EnvelopeKey&) = default;
};

class ColumnEnvelopes {
public:
    enum SeriesIndex { kTemperature = 0, kHumidity = 1 };

    // A step from one record's value to the next one's within a column.
    struct Step {
        float from;
        float to;
    };
    struct Series {
        float first = 0.0f;
        float last = 0.0f;
        float low = 0.0f;
        float high = 0.0f;
        // The column's steps in Steps(series), [stepsBegin, stepsEnd).
        std::uint32_t stepsBegin = 0;
        std::uint32_t stepsEnd = 0;
    };
    struct Column {
        int x = 0;
        // Record positions counted from firstIndex, both inclusive.
        int firstRecord = 0;
        int lastRecord = 0;
        // Every value of the column is a number (no NaN or infinity).
        bool finite = true;
        Series series[2];
    };

    // Builds the envelopes of records 0..key.last of the window unless they
    // are already built for exactly this key. The first step of the chart
    // (from position 0 to 1, when both share a column) is always kept: nothing
    // is painted before it.
    void Update(const EnvelopeKey& key, const ResultsStore& source);
    // Forgets what was built (the next Update builds afresh).
    void Reset() { built_ = false; }

    const std::vector<Column>& Columns() const { return columns_; }
    const Step* Steps(SeriesIndex series) const { return steps_[series].data(); }

private:
    bool built_ = false;
    EnvelopeKey key_;
    std::vector<Column> columns_;
    std::vector<Step> steps_[2];
};

}  // namespace quorvex
