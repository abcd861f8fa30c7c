#pragma once
// ResultsStore, the results store: the downloaded records with the logger they came
// from. The program keeps one, made at start-up and handed to what needs it; the log
// download writes it, the results table, the chart, the printout and the text
// file only read it. Results opened from a file are read into a store of their
// own and swapped in only when the whole file was good. User-interface thread only.
#include <QString>
#include <cstdint>
#include <deque>
#include <optional>

#include "logs/LogRecord.h"
#include "logs/Thresholds.h"
#include "sign/SignatureCheck.h"

namespace quorvex {

class ResultsStore {
public:
    static constexpr float kEmptyExtreme = 10.0f;

    ResultsStore() = default;
    ResultsStore(const ResultsStore&) = delete;
    ResultsStore& operator=(const ResultsStore&) = delete;

    // Texts of the logger at the start of the download (text forms of its parameters).
    QString loggerName;
    QString loggerType;
    QString serialNumber;
    QString writeInterval;

    // The logger's alarm thresholds when the records were downloaded (read
    // with its parameters); none for results opened from a file.
    std::optional<Thresholds> thresholds;
    // Seconds between two records: the logger's save interval, or for an
    // opened file the spacing of its time stamps; 0 while unknown.
    std::int32_t intervalSeconds = 0;
    // The file the results were opened from; empty for a download.
    QString sourceFile;
    // Opened from the archive: the start of the log (logger clock); none otherwise.
    std::optional<Moment> archivedLogStart;
    // The opened file carries humidity although its type text does not say
    // so (a CSV file has no type).
    bool humidityInFile = false;
    // The check of the signature beside the opened file; none for a download.
    std::optional<SignatureCheck> signature;

    // Extremes of all records held; 10.0 while the store is empty.
    float tempMax = kEmptyExtreme;
    float tempMin = kEmptyExtreme;
    float humMax = kEmptyExtreme;
    float humMin = kEmptyExtreme;

    // Texts empty, extremes 10.0, no records, no thresholds, no file.
    void Clear();
    // Exchanges the whole content with another store (constant time).
    void Swap(ResultsStore& other);
    // Takes the logger's texts, thresholds and interval from another store, as a download read
    // them with its parameters; records, source and extremes stay.
    void TakeLoggerFacts(const ResultsStore& from);
    // Adds a record at the end; the first record sets all four extremes.
    void Append(float temperature, float humidity, Moment time);

    int Count() const { return static_cast<int>(records_.size()); }
    bool IsEmpty() const { return records_.empty(); }
    // Index 0 is the oldest record; the index must lie below Count().
    const LogRecord& At(int index) const { return records_[static_cast<std::size_t>(index)]; }
    const LogRecord& operator[](int index) const { return At(index); }

    // Calls f(record) for the records first..last in order; both lie within the
    // store. Cheaper than At for a long walk.
    template <class F>
    void ForEach(int first, int last, F&& f) const {
        const auto end = records_.begin() + last + 1;
        for (auto it = records_.begin() + first; it != end; ++it) f(*it);
    }

    // The logger measures humidity (its type text begins with "02"), or the
    // opened file carries humidity.
    bool HasHumidity() const;

    // Changes whenever the records are replaced rather than appended to (Clear,
    // Swap); unique across all stores. Readers that keep something derived from
    // the records (the table model, the summary) compare it to start afresh.
    std::uint64_t Generation() const { return generation_; }

private:
    static std::uint64_t NextGeneration();

    std::uint64_t generation_ = NextGeneration();
    // Appending never moves earlier records, and indexing is constant time.
    std::deque<LogRecord> records_;
};

}  // namespace quorvex
