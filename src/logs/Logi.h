#pragma once
// MLogi, the results store: the downloaded records with the logger they came
// from. One program-wide instance (Logi) lives from start-up to exit; the log
// download writes it, the results table, the chart, the printout and the text
// file only read it. User-interface thread only.
#include <QString>
#include <cstdint>
#include <deque>

#include "logs/LogRecord.h"

namespace quorvex {

class MLogi {
public:
    static constexpr float kEmptyExtreme = 10.0f;

    MLogi() = default;
    MLogi(const MLogi&) = delete;
    MLogi& operator=(const MLogi&) = delete;

    // Texts of the logger at the start of the download (text forms of its parameters).
    QString loggerName;
    QString loggerType;
    QString serialNumber;
    QString writeInterval;

    // Extremes of all records held; 10.0 while the store is empty.
    float tempMax = kEmptyExtreme;
    float tempMin = kEmptyExtreme;
    float humMax = kEmptyExtreme;
    float humMin = kEmptyExtreme;

    // Texts empty, extremes 10.0, no records.
    void Clear();
    // Adds a record at the end; the first record sets all four extremes.
    void Append(float temperature, float humidity, TDateTime time);

    int Count() const { return static_cast<int>(records_.size()); }
    bool IsEmpty() const { return records_.empty(); }
    // Index 0 is the oldest record; the index must lie below Count().
    const MstrLog& At(int index) const { return records_[static_cast<std::size_t>(index)]; }
    const MstrLog& operator[](int index) const { return At(index); }

    // Calls f(record) for the records first..last in order; both lie within the
    // store. Cheaper than At for a long walk.
    template <class F>
    void ForEach(int first, int last, F&& f) const {
        const auto end = records_.begin() + last + 1;
        for (auto it = records_.begin() + first; it != end; ++it) f(*it);
    }

    // Changes with every change of the records (every method that changes
    // records_ calls Touch), so what is built from them can tell it is stale.
    // Numbers are never reused, not even by another store.
    std::uint64_t Revision() const { return revision_; }

    // The logger measures humidity (its type text begins with "02").
    bool HasHumidity() const;

private:
    void Touch();

    // Appending never moves earlier records, and indexing is constant time.
    std::deque<MstrLog> records_;
    std::uint64_t revision_ = 0;
};

// The program's results store.
extern MLogi Logi;

}  // namespace quorvex
