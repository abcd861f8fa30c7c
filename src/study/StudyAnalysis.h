#pragma once
// The analysis of a mapping study, over its period less the stabilisation time: per position the
// figures of its readings (after its calibration offsets) and its verdict against the criteria;
// across positions the readings aligned on one time grid, the spread between the warmest and the
// coldest position over time, the hot and cold spots and the overall verdict.
//
// Alignment: the grid steps by the largest save interval of the study's loggers from the period's
// start. At each grid moment a position reads its last record at or before the moment, when that
// record is less than one of its own intervals old; nothing is interpolated and records are never
// paired by their index, so loggers with other intervals or start moments line up by time.
//
// Coverage: each record stands for one save interval from its moment. A position whose records
// leave part of the analysed time uncovered fails, and its coverage says how much they cover.
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

#include "logs/ExcursionRules.h"
#include "study/StudyPlan.h"

namespace quorvex {

struct StudySeriesFigures {
    float min = 0.0f;
    float max = 0.0f;
    double mean = 0.0;
};

struct PositionFigures {
    QString label;
    QString serial;
    int records = 0;  // in the analysed time
    bool humidity = false;
    StudySeriesFigures temperature;
    StudySeriesFigures humidityFigures;  // only for a logger with humidity
    std::optional<double> kineticTemperature;
    float swing = 0.0f;     // temperature maximum − minimum
    double coverage = 0.0;  // 0 to 1 of the analysed time
    CalibrationUse calibration = CalibrationUse::None;
    // The calibration's expanded uncertainty, 0 without one: it stands beside every figure.
    float temperatureUncertainty = 0.0f;
    float humidityUncertainty = 0.0f;
    Verdict verdict;  // the criteria's limits as rules, judged as the excursion rules judge a log
    bool pass = false;
};

struct SpreadPoint {
    Moment at = 0.0;
    float value = 0.0f;  // warmest − coldest reading, °C
};

struct StudyResult {
    Moment analysedFrom = 0.0;  // the period's start plus the stabilisation time
    Moment analysedTo = 0.0;
    std::int64_t gridSeconds = 0;
    std::vector<PositionFigures> positions;  // in the study's order
    std::vector<SpreadPoint> spread;         // every grid moment at which two positions read
    std::optional<SpreadPoint> largestSpread;
    bool spreadPass = true;
    // Indexes into positions, -1 while no position has a reading.
    int hotSpot = -1;      // the highest maximum
    int coldSpot = -1;     // the lowest minimum
    int warmestMean = -1;  // the highest mean
    int coldestMean = -1;  // the lowest mean
    bool pass = false;
};

// Needs a study StudyProblem finds nothing wrong with.
StudyResult AnalyseStudy(const StudyPeriod& period, const StudyCriteria& criteria,
                         const std::vector<StudyPosition>& positions);

// "covers 71 % of the period", in the program's language.
QString CoverageText(double coverage);

// The moment as whole milliseconds, the unit the analysis aligns in.
std::int64_t MomentMilliseconds(Moment moment);

}  // namespace quorvex
