// The mapping study's analysis: readings lined up by time, the spread and its moment, hot and cold
// spots, the stabilisation time, calibration, coverage and the refusals of a study that cannot be
// analysed.
#include <gtest/gtest.h>

#include <QDateTime>

#include <cmath>
#include <functional>
#include <memory>
#include <vector>

#include "logs/ResultsStore.h"
#include "study/StudyAnalysis.h"
#include "study/StudyPlan.h"

namespace quorvex {
namespace {

const QDateTime kStart(QDate(2026, 6, 1), QTime(8, 0), Qt::UTC);

Moment At(std::int64_t seconds) { return ToMoment(kStart.addSecs(seconds)); }

// A log of `count` records every `interval` seconds from `firstSecond`, temperatures from `value`.
std::unique_ptr<ResultsStore> Log(int interval, std::int64_t firstSecond, int count,
                                  const std::function<float(std::int64_t second)>& value, bool humidity = false) {
    auto log = std::make_unique<ResultsStore>();
    log->loggerType = humidity ? QStringLiteral("0201") : QStringLiteral("0101");
    log->intervalSeconds = interval;
    for (int k = 0; k < count; ++k) {
        const std::int64_t s = firstSecond + std::int64_t{k} * interval;
        log->Append(value(s), 50.0f, At(s));
    }
    return log;
}

float Constant(float v, std::int64_t) { return v; }

StudyPosition Position(const QString& label, const ResultsStore& log, const QString& serial = {}) {
    return {label, serial.isEmpty() ? label : serial, &log, std::nullopt};
}

TEST(StudyAnalysis, LoggersWithOtherIntervalsAndStartsLineUpByTimeAndTheSpreadKeepsItsMoment) {
    // One logger every minute from 8:00, one every five minutes from 8:02:30: the grid steps by
    // five minutes from 8:00 and the second logger's reading at 8:05 is the one of 8:02:30.
    const auto minute = Log(60, 0, 61, [](std::int64_t s) { return 20.0f + static_cast<float>(s / 60) * 0.1f; });
    const auto fiveMinutes = Log(300, 150, 12, [](std::int64_t s) { return s == 1650 ? 30.0f : 21.0f; });
    const StudyPeriod period{At(0), At(3600), 0};
    const StudyResult r = AnalyseStudy(period, {}, {Position("A", *minute), Position("B", *fiveMinutes)});

    EXPECT_EQ(r.gridSeconds, 300);
    // At 8:00 only A reads (B starts later): no spread. Then 8:05, 8:10, … 9:00.
    ASSERT_EQ(r.spread.size(), 12u);
    EXPECT_EQ(MomentMilliseconds(r.spread[0].at), MomentMilliseconds(At(300)));
    EXPECT_NEAR(r.spread[0].value, 21.0f - 20.5f, 1e-4);  // A's record of 8:05 against B's of 8:02:30
    // B's hot record of 8:27:30 is read at 8:30, against A's record of 8:30 (23.0).
    ASSERT_TRUE(r.largestSpread);
    EXPECT_EQ(MomentMilliseconds(r.largestSpread->at), MomentMilliseconds(At(1800)));
    EXPECT_NEAR(r.largestSpread->value, 30.0f - 23.0f, 1e-4);
    EXPECT_EQ(r.hotSpot, 1);
    EXPECT_EQ(r.coldSpot, 0);
    // A warms to 26 °C and averages 23 °C; B's one hot reading leaves its mean at 21.75 °C.
    EXPECT_EQ(r.warmestMean, 0);
    EXPECT_EQ(r.coldestMean, 1);
    EXPECT_EQ(r.positions[0].records, 61);
    EXPECT_NEAR(r.positions[0].swing, 6.0f, 1e-4);
}

TEST(StudyAnalysis, AGapBreaksTheReadingAndTheCoverageAndFailsThePosition) {
    // B stops after 40 minutes of the hour; its last reading is no longer current after 8:41.
    const auto a = Log(60, 0, 61, [](std::int64_t s) { return Constant(20.0f, s); });
    const auto b = Log(60, 0, 41, [](std::int64_t s) { return Constant(22.0f, s); });
    const StudyResult r = AnalyseStudy({At(0), At(3600), 0}, {}, {Position("A", *a), Position("B", *b)});
    EXPECT_TRUE(r.positions[0].pass);
    EXPECT_NEAR(r.positions[0].coverage, 1.0, 1e-9);
    EXPECT_FALSE(r.positions[1].pass);
    EXPECT_NEAR(r.positions[1].coverage, 41.0 / 60.0, 1e-9);
    EXPECT_EQ(CoverageText(r.positions[1].coverage), QStringLiteral("obejmuje 68 % okresu"));
    EXPECT_EQ(r.spread.size(), 41u);  // 8:00 … 8:40
    EXPECT_FALSE(r.pass);
}

TEST(StudyAnalysis, TheStabilisationTimeIsLeftOutOfEveryFigure) {
    // Hot while the room settles, then steady.
    const auto log = Log(60, 0, 121, [](std::int64_t s) { return s < 1800 ? 35.0f : 5.0f; });
    StudyCriteria criteria;
    criteria.temperatureHigh = StudyLimit{8.0f, 0};
    const StudyPeriod settled{At(0), At(7200), 1800};
    const StudyResult r = AnalyseStudy(settled, criteria, {Position("A", *log)});
    EXPECT_EQ(MomentMilliseconds(r.analysedFrom), MomentMilliseconds(At(1800)));
    EXPECT_EQ(r.positions[0].records, 91);
    EXPECT_FLOAT_EQ(r.positions[0].temperature.max, 5.0f);
    EXPECT_TRUE(r.positions[0].pass);
    EXPECT_TRUE(r.pass);

    const StudyResult unsettled = AnalyseStudy({At(0), At(7200), 0}, criteria, {Position("A", *log)});
    EXPECT_FALSE(unsettled.positions[0].pass);
    EXPECT_FALSE(unsettled.pass);
}

TEST(StudyAnalysis, TimeBeyondALimitIsCountedAsTheExcursionRulesCountItAndTheSpreadHasItsLimit) {
    // Ten minutes above 8 °C in all: allowed 15 minutes passes, 5 minutes fails.
    const auto log = Log(60, 0, 61, [](std::int64_t s) { return s >= 600 && s < 1200 ? 9.0f : 5.0f; });
    const auto cold = Log(60, 0, 61, [](std::int64_t s) { return Constant(3.0f, s); });
    StudyCriteria criteria;
    criteria.temperatureHigh = StudyLimit{8.0f, 15 * 60, RuleMeasure::TotalTime};
    const StudyPeriod period{At(0), At(3600), 0};
    EXPECT_TRUE(AnalyseStudy(period, criteria, {Position("A", *log)}).pass);
    criteria.temperatureHigh->allowedSeconds = 5 * 60;
    const StudyResult strict = AnalyseStudy(period, criteria, {Position("A", *log)});
    EXPECT_FALSE(strict.pass);
    EXPECT_EQ(strict.positions[0].verdict.rules.value(0).totalMs, 10 * 60 * 1000);

    StudyCriteria spread;
    spread.maxSpread = 5.0f;  // 9 − 3 = 6 at worst
    const StudyResult r = AnalyseStudy(period, spread, {Position("A", *log), Position("B", *cold)});
    EXPECT_TRUE(r.positions[0].pass && r.positions[1].pass);
    EXPECT_FALSE(r.spreadPass);
    EXPECT_FALSE(r.pass);
    spread.maxSpread = 6.0f;
    EXPECT_TRUE(AnalyseStudy(period, spread, {Position("A", *log), Position("B", *cold)}).pass);
}

TEST(StudyAnalysis, CalibrationIsAppliedMarkedWhenExpiredLeftOffOnRequestAndItsUncertaintyNarrowsTheLimits) {
    const auto log = Log(
        60, 0, 61, [](std::int64_t s) { return Constant(7.6f, s); }, true);
    Calibration valid{"A1", "C-17", QDate(2026, 1, 10), QDate(2027, 1, 10), 0.3f, -2.0f, 0.2f, 1.5f};
    Calibration expired = valid;
    expired.due = QDate(2026, 5, 31);
    StudyCriteria criteria;
    criteria.temperatureHigh = StudyLimit{8.0f, 0};
    const StudyPeriod period{At(0), At(3600), 0};
    auto position = [&](const Calibration& c) { return StudyPosition{"A", "A1", log.get(), c}; };

    const PositionFigures applied = AnalyseStudy(period, criteria, {position(valid)}).positions[0];
    EXPECT_EQ(applied.calibration, CalibrationUse::Applied);
    EXPECT_NEAR(applied.temperature.mean, 7.9, 1e-4);
    EXPECT_NEAR(applied.humidityFigures.mean, 48.0, 1e-4);
    EXPECT_FLOAT_EQ(applied.temperatureUncertainty, 0.2f);
    EXPECT_TRUE(applied.pass);

    const PositionFigures late = AnalyseStudy(period, criteria, {position(expired)}).positions[0];
    EXPECT_EQ(late.calibration, CalibrationUse::Expired);
    EXPECT_EQ(CalibrationUseKey(late.calibration), QStringLiteral("expired"));
    EXPECT_NEAR(late.temperature.mean, 7.9, 1e-4);

    criteria.applyCalibration = false;
    const PositionFigures off = AnalyseStudy(period, criteria, {position(valid)}).positions[0];
    EXPECT_EQ(off.calibration, CalibrationUse::Off);
    EXPECT_NEAR(off.temperature.mean, 7.6, 1e-4);

    // 7.9 °C ± 0.2 may be 8.1 °C: judged with uncertainty it fails 8 °C.
    criteria.applyCalibration = true;
    criteria.judgeWithUncertainty = true;
    EXPECT_FALSE(AnalyseStudy(period, criteria, {position(valid)}).positions[0].pass);
    EXPECT_EQ(AnalyseStudy(period, criteria, {Position("A", *log)}).positions[0].calibration, CalibrationUse::None);
}

TEST(StudyAnalysis, AStudyThatCannotBeAnalysedIsRefusedWithItsReason) {
    const auto log = Log(60, 0, 10, [](std::int64_t s) { return Constant(5.0f, s); });
    const StudyPeriod good{At(0), At(3600), 600};
    EXPECT_TRUE(StudyProblem(good, {Position("A", *log, "S1")}).isEmpty());
    auto refusal = [&](const StudyPeriod& period, const std::vector<StudyPosition>& positions) {
        return StudyProblem(period, positions).left(5);
    };
    EXPECT_EQ(refusal(good, {}), QStringLiteral("Badan"));
    EXPECT_TRUE(StudyProblem({At(3600), At(0), 0}, {Position("A", *log)}).contains(QStringLiteral("kończy się")));
    EXPECT_TRUE(StudyProblem({At(0), At(3600), 3600}, {Position("A", *log)}).contains(QStringLiteral("stabilizacji")));
    EXPECT_TRUE(StudyProblem(good, {Position("A", *log, "S1"), Position("A", *log, "S2")}).contains(u"„A”"));
    const QString twice = StudyProblem(good, {Position("A", *log, "S1"), Position("B", *log, "S1")});
    EXPECT_TRUE(twice.contains(QStringLiteral("S1")) && twice.contains(u"„B”")) << twice.toStdString();
    EXPECT_TRUE(StudyProblem(good, {StudyPosition{"C", "S3", nullptr, {}}}).contains(u"„C”"));
    Calibration wild{"S1", "C", QDate(2026, 1, 1), QDate(2027, 1, 1), 6.0f, 0.0f, 0.1f, 0.1f};
    EXPECT_TRUE(StudyProblem(good, {StudyPosition{"A", "S1", log.get(), wild}}).contains(QStringLiteral("±5")));
    wild.temperatureOffset = 0.0f;
    wild.humidityOffset = -12.0f;
    EXPECT_TRUE(CalibrationProblem(wild).contains(QStringLiteral("±10")));
    wild.humidityOffset = 0.0f;
    wild.due = QDate(2025, 1, 1);
    EXPECT_FALSE(CalibrationProblem(wild).isEmpty());
}

}  // namespace
}  // namespace quorvex
