#pragma once
// MLogi, the results store: the downloaded records with the logger they came
// from. One program-wide instance (Logi) lives from start-up to exit; the log
// download writes it, the results table, the chart, the printout and the text
// file only read it. User-interface thread only.
#include <QString>
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

    // The logger measures humidity (its type text begins with "02").
    bool HasHumidity() const;

private:
    // Appending never moves earlier records, and indexing is constant time.
    std::deque<MstrLog> records_;
};

// The program's results store.
extern MLogi Logi;

}  // namespace quorvex
