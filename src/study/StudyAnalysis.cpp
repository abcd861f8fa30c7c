#include "study/StudyAnalysis.h"

#include <QLocale>

#include <algorithm>
#include <cmath>

#include "i18n/ProgramTexts.h"
#include "logs/ResultsStore.h"
#include "logs/ResultsSummary.h"
#include "study/StudyAlignment.h"

namespace quorvex {

namespace {

constexpr double kMsPerDay = 86'400'000.0;

// The save interval of a log, or where it is not known the shortest spacing of its records.
std::int64_t IntervalMs(const ResultsStore& log) {
    if (log.intervalSeconds > 0) return std::int64_t{log.intervalSeconds} * 1000;
    std::int64_t shortest = 0;
    for (int i = 1; i < log.Count(); ++i) {
        const std::int64_t gap = MomentMilliseconds(log.At(i).time) - MomentMilliseconds(log.At(i - 1).time);
        if (gap > 0 && (shortest == 0 || gap < shortest)) shortest = gap;
    }
    return shortest;
}

CalibrationUse UseOf(const StudyPosition& p, const StudyCriteria& criteria, Moment studyEnd) {
    if (!criteria.applyCalibration) return CalibrationUse::Off;
    if (!p.calibration) return CalibrationUse::None;
    const QDate end = FromMoment(studyEnd).date();
    return p.calibration->due < end ? CalibrationUse::Expired : CalibrationUse::Applied;
}

// The criteria's limits as excursion rules, narrowed by the uncertainties when asked.
QList<ExcursionRule> RulesOf(const StudyCriteria& c, float temperatureU, float humidityU) {
    QList<ExcursionRule> rules;
    const float tu = c.judgeWithUncertainty ? temperatureU : 0.0f;
    const float hu = c.judgeWithUncertainty ? humidityU : 0.0f;
    auto add = [&](const std::optional<StudyLimit>& limit, RuleSeries series, RuleSide side, float narrowing) {
        if (!limit) return;
        const float value = side == RuleSide::Above ? limit->value - narrowing : limit->value + narrowing;
        rules.push_back({series, side, value, limit->measure, limit->allowedSeconds});
    };
    add(c.temperatureHigh, RuleSeries::Temperature, RuleSide::Above, tu);
    add(c.temperatureLow, RuleSeries::Temperature, RuleSide::Below, tu);
    add(c.humidityHigh, RuleSeries::Humidity, RuleSide::Above, hu);
    add(c.humidityLow, RuleSeries::Humidity, RuleSide::Below, hu);
    return rules;
}

// The share of [fromMs, toMs] the records cover (moments in time order), each standing for
// intervalMs from its moment.
double Coverage(const std::vector<std::int64_t>& moments, std::int64_t intervalMs, std::int64_t fromMs,
                std::int64_t toMs) {
    if (toMs <= fromMs || intervalMs <= 0) return 0.0;
    std::int64_t covered = 0, reached = fromMs;
    for (const std::int64_t m : moments) {
        const std::int64_t begin = std::max(m, reached), end = std::min(m + intervalMs, toMs);
        if (end > begin) {
            covered += end - begin;
            reached = end;
        }
    }
    return static_cast<double>(covered) / static_cast<double>(toMs - fromMs);
}

struct PositionPass {
    PositionFigures figures;
    TimedReadings readings;
};

PositionPass Analyse(const StudyPosition& p, const StudyCriteria& criteria, const StudyPeriod& period,
                     std::int64_t fromMs, std::int64_t toMs) {
    PositionPass out;
    PositionFigures& f = out.figures;
    const ResultsStore& log = *p.log;
    f.label = p.label;
    f.serial = p.serial;
    f.humidity = log.HasHumidity();
    f.calibration = UseOf(p, criteria, period.to);
    const bool offsets = f.calibration == CalibrationUse::Applied || f.calibration == CalibrationUse::Expired;
    const float dt = offsets ? p.calibration->temperatureOffset : 0.0f;
    const float dh = offsets ? p.calibration->humidityOffset : 0.0f;
    if (p.calibration) {
        f.temperatureUncertainty = p.calibration->temperatureUncertainty;
        f.humidityUncertainty = p.calibration->humidityUncertainty;
    }
    const std::int64_t intervalMs = IntervalMs(log);
    out.readings.intervalMs = intervalMs;
    out.readings.uncertainty = f.temperatureUncertainty;

    // The analysed records in a store of their own, so that the figures and the verdict are those
    // the summary and the excursion rules give for any log.
    ResultsStore analysed;
    analysed.loggerType = log.loggerType;
    analysed.humidityInFile = f.humidity;
    analysed.intervalSeconds = static_cast<std::int32_t>(intervalMs / 1000);
    std::vector<std::pair<std::int64_t, float>> timed;  // (moment, temperature) of every record that counts
    for (int i = 0; i < log.Count(); ++i) {
        const LogRecord& r = log.At(i);
        const std::int64_t ms = MomentMilliseconds(r.time);
        if (ms > toMs || ms + intervalMs <= fromMs) continue;
        // A record from before the analysed time still covers its start and gives the grid its reading.
        timed.emplace_back(ms, r.temperature + dt);
        if (ms >= fromMs) analysed.Append(r.temperature + dt, r.humidity + dh, r.time);
    }
    // In time order for the grid and the coverage, whatever order the log gave them in.
    std::stable_sort(timed.begin(), timed.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    for (const auto& [ms, temperature] : timed) {
        out.readings.milliseconds.push_back(ms);
        out.readings.temperatures.push_back(temperature);
    }

    ResultsSummary summary;
    summary.Update(analysed);
    f.records = summary.Count();
    if (f.records > 0) {
        f.temperature = {summary.Temperature().min, summary.Temperature().max, summary.MeanTemperature()};
        f.swing = f.temperature.max - f.temperature.min;
        f.kineticTemperature = summary.MeanKineticTemperature();
        if (f.humidity) f.humidityFigures = {summary.Humidity().min, summary.Humidity().max, summary.MeanHumidity()};
    }
    f.coverage = Coverage(out.readings.milliseconds, intervalMs, fromMs, toMs);
    f.verdict = EvaluateRules(analysed, RulesOf(criteria, f.temperatureUncertainty, f.humidityUncertainty));
    const bool covered = f.coverage >= 1.0;
    f.pass = f.records > 0 && covered && (!f.verdict.Evaluated() || f.verdict.Pass());
    return out;
}

}  // namespace

std::int64_t MomentMilliseconds(Moment moment) { return std::llround(moment * kMsPerDay); }

StudyResult AnalyseStudy(const StudyPeriod& period, const StudyCriteria& criteria,
                         const std::vector<StudyPosition>& positions) {
    StudyResult result;
    const std::int64_t periodStartMs = MomentMilliseconds(period.from);
    const std::int64_t fromMs = periodStartMs + period.stabiliseSeconds * 1000;
    const std::int64_t toMs = MomentMilliseconds(period.to);
    result.analysedFrom = static_cast<double>(fromMs) / kMsPerDay;
    result.analysedTo = period.to;

    std::vector<TimedReadings> readings;
    for (const StudyPosition& p : positions) {
        PositionPass one = Analyse(p, criteria, period, fromMs, toMs);
        result.gridSeconds = std::max(result.gridSeconds, one.readings.intervalMs / 1000);
        readings.push_back(std::move(one.readings));
        result.positions.push_back(std::move(one.figures));
    }

    const SpreadTrack track =
        TrackSpread(readings, periodStartMs, result.gridSeconds * 1000, fromMs, toMs, criteria.judgeWithUncertainty);
    result.spread = track.points;
    result.largestSpread = track.largest;
    result.spreadPass = !criteria.maxSpread || track.largestJudged <= *criteria.maxSpread;

    const auto& all = result.positions;
    for (int i = 0; i < static_cast<int>(all.size()); ++i) {
        const PositionFigures& f = all[static_cast<std::size_t>(i)];
        if (f.records == 0) continue;
        auto at = [&](int k) -> const PositionFigures& { return all[static_cast<std::size_t>(k)]; };
        if (result.hotSpot < 0 || f.temperature.max > at(result.hotSpot).temperature.max) result.hotSpot = i;
        if (result.coldSpot < 0 || f.temperature.min < at(result.coldSpot).temperature.min) result.coldSpot = i;
        if (result.warmestMean < 0 || f.temperature.mean > at(result.warmestMean).temperature.mean)
            result.warmestMean = i;
        if (result.coldestMean < 0 || f.temperature.mean < at(result.coldestMean).temperature.mean)
            result.coldestMean = i;
    }
    result.pass = !all.empty() && result.spreadPass &&
                  std::all_of(all.begin(), all.end(), [](const PositionFigures& f) { return f.pass; });
    return result;
}

QString CoverageText(double coverage) {
    // Rounded down: a position that misses a minute of a month does not read as covering 100 %.
    const int percent = static_cast<int>(std::floor(std::clamp(coverage, 0.0, 1.0) * 100.0));
    return TranslateText(QStringLiteral("[2789]obejmuje %1 % okresu")).arg(percent);
}

}  // namespace quorvex
