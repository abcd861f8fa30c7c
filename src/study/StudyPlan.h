#pragma once
// What a mapping study is judged by: its period with the stabilisation time left out at its start,
// the acceptance criteria, and the positions with the log that stood at each. The archive keeps
// studies; this is the form the analysis reads them in.
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

#include "logs/ExcursionRules.h"
#include "params/DateTimeCodec.h"
#include "study/Calibration.h"

namespace quorvex {

class ResultsStore;

// A limit and how long the readings may stay beyond it, counted as the excursion rules count it.
struct StudyLimit {
    float value = 0.0f;
    std::int64_t allowedSeconds = 0;
    RuleMeasure measure = RuleMeasure::TotalTime;
    friend bool operator==(const StudyLimit&, const StudyLimit&) = default;
};

struct StudyCriteria {
    std::optional<StudyLimit> temperatureLow, temperatureHigh;  // °C
    std::optional<StudyLimit> humidityLow, humidityHigh;        // %
    std::optional<float> maxSpread;                             // °C between the warmest and coldest position
    bool applyCalibration = true;
    // Each limit narrowed by the logger's expanded uncertainty: a reading passes only when it
    // passes wherever within its uncertainty the true value lies.
    bool judgeWithUncertainty = false;
    friend bool operator==(const StudyCriteria&, const StudyCriteria&) = default;
};

struct StudyPeriod {
    Moment from = 0.0;
    Moment to = 0.0;
    std::int64_t stabiliseSeconds = 0;
};

struct StudyPosition {
    QString label;
    QString serial;
    const ResultsStore* log = nullptr;  // the records that stood there; owned by the caller
    std::optional<Calibration> calibration;
};

// The first thing that keeps the study from being analysed, as a numbered message in the
// program's language: no positions, a period that ends before it starts, a stabilisation not
// shorter than the period, a label missing or used twice, a serial at two positions, a position
// without its log (unless `logsNeeded` is false: a study being planned), a calibration record
// that cannot be right. Empty when it can be analysed.
QString StudyProblem(const StudyPeriod& period, const std::vector<StudyPosition>& positions, bool logsNeeded = true);
// The period's part of it alone.
QString PeriodProblem(const StudyPeriod& period);

}  // namespace quorvex
