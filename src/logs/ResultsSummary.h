#pragma once
// The summary of the results shown: how many records, the first and last
// moment, per series the minimum and maximum (each with its first moment) and
// the mean; for a download with the logger's thresholds also, per threshold,
// how long the values stayed beyond it (records beyond × save interval) and
// in how many excursions (runs of consecutive records beyond it); and the
// mean kinetic temperature
//   MKT = (ΔH/R) / −ln((1/n) Σ exp(−ΔH/(R·Tᵢ))),  ΔH/R = 10,000 K, Tᵢ in kelvin.
//
// Kept up to date as records arrive: Update takes in only the records added
// since its last call, so a download of a million records costs one pass.
#include <QList>

#include <cstdint>
#include <optional>

#include "logs/ExcursionRules.h"
#include "logs/LoggerInfo.h"
#include "logs/ResultsStore.h"

namespace quorvex {

class ResultsSummary {
public:
    struct Series {
        float min = 0.0f, max = 0.0f;
        int minIndex = -1, maxIndex = -1;  // first record with that value
        double sum = 0.0;
    };
    struct Limit {
        float value = 0.0f;
        int beyond = 0;      // records beyond the threshold
        int excursions = 0;  // runs of consecutive records beyond it
        bool inRun = false;  // the last record taken in is beyond it
    };

    static constexpr double kActivationOverR = 10000.0;  // ΔH/R in kelvin
    static constexpr double kZeroCelsius = 273.15;

    // Takes in the records of `store` added since the last call; a store that
    // was cleared or replaced, or whose thresholds changed, is taken in afresh.
    void Update(const ResultsStore& store);

    int Count() const { return count_; }
    const Series& Temperature() const { return temperature_; }
    const Series& Humidity() const { return humidity_; }
    double MeanTemperature() const { return count_ ? temperature_.sum / count_ : 0.0; }
    double MeanHumidity() const { return count_ ? humidity_.sum / count_ : 0.0; }
    // The dew point (DewPoint.h) of the records of a log with humidity that
    // have one (a humidity above 0 %); DewPointCount() of them.
    const Series& DewPoint() const { return dewPoint_; }
    int DewPointCount() const { return dewPointCount_; }
    double MeanDewPoint() const { return dewPointCount_ ? dewPoint_.sum / dewPointCount_ : 0.0; }
    // Nothing for an empty store or a temperature at or below absolute zero.
    std::optional<double> MeanKineticTemperature() const;

    // Whether the results carry the logger's thresholds (a download does).
    bool HasLimits() const { return hasLimits_; }
    // Upper and lower temperature and humidity thresholds, in that order.
    enum LimitIndex { HighTemp, LowTemp, HighHum, LowHum, LimitCount };
    const Limit& LimitAt(LimitIndex i) const { return limits_[i]; }

private:
    void Restart(const ResultsStore& store);

    std::uint64_t generation_ = 0;
    std::optional<Thresholds> thresholds_;
    int count_ = 0;
    Series temperature_, humidity_;
    bool withDewPoint_ = false;
    Series dewPoint_;
    int dewPointCount_ = 0;
    bool hasLimits_ = false;
    Limit limits_[LimitCount];
    // Σ exp(ΔH/R·(1/273.15 − 1/Tᵢ)): the terms taken relative to 0 °C stay
    // far from overflow and underflow for every temperature a logger records.
    double kineticSum_ = 0.0;
    bool belowAbsoluteZero_ = false;
};

// The summary as rows of a translated caption and a value, for the results
// tab and the printout. Humidity rows only for results with humidity;
// threshold rows only for results with thresholds; none but the count for an
// empty store. Numbers with the given decimal separator: the on-screen one
// for the tab, the system's for paper. An opened file's signature state is the last row.
QList<LoggerInfoRow> SummaryRows(const ResultsSummary& summary, const ResultsStore& store, QChar separator);

// The same followed by the verdict (a row per rule with its PASS/FAIL word,
// a row per excursion that broke it, the overall verdict) and the records'
// fingerprint.
QList<LoggerInfoRow> SummaryRows(const ResultsSummary& summary, const ResultsStore& store, QChar separator,
                                 const Verdict& verdict, const QString& fingerprint);

}  // namespace quorvex
