// The analysis of a mapping study the size a warehouse gives: 50 positions × 30 days at one
// minute (2.16 M records), half of the loggers with humidity, starts spread over the first
// minute so that the grid really aligns by time. The records are in memory: what the archive
// takes to read them is measured by bench_archive_store.
#include <benchmark/benchmark.h>

#include <QDateTime>

#include <cmath>
#include <memory>
#include <vector>

#include "logs/ResultsStore.h"
#include "study/StudyAnalysis.h"

namespace quorvex {
namespace {

constexpr int kPositions = 50;
constexpr int kDays = 30;
constexpr int kInterval = 60;

void BM_AnalyseStudy(benchmark::State& state) {
    const QDateTime start(QDate(2026, 6, 1), QTime(0, 0), Qt::UTC);
    const Moment from = ToMoment(start);
    const int records = kDays * 86400 / kInterval;
    std::vector<std::unique_ptr<ResultsStore>> logs;
    std::vector<StudyPosition> positions;
    for (int p = 0; p < kPositions; ++p) {
        auto log = std::make_unique<ResultsStore>();
        log->loggerType = p % 2 ? QStringLiteral("0201") : QStringLiteral("0101");
        log->intervalSeconds = kInterval;
        const int offset = p;  // seconds after the period's start
        for (int k = 0; k < records; ++k) {
            const double hours = (offset + k * kInterval) / 3600.0;
            const float t = 5.0f + 0.02f * p + 1.5f * static_cast<float>(std::sin(hours * 2 * M_PI / 24));
            const float h = 60.0f + 10.0f * static_cast<float>(std::cos(hours * 2 * M_PI / 24));
            log->Append(std::round(t * 10) / 10, std::round(h * 10) / 10, from + (offset + k * kInterval) / 86400.0);
        }
        positions.push_back({QStringLiteral("P%1").arg(p + 1), QStringLiteral("S%1").arg(p + 1), log.get(),
                             Calibration{QStringLiteral("S%1").arg(p + 1), QStringLiteral("C"), QDate(2026, 1, 1),
                                         QDate(2027, 1, 1), 0.1f, -1.0f, 0.2f, 1.5f}});
        logs.push_back(std::move(log));
    }
    StudyCriteria criteria;
    criteria.temperatureLow = StudyLimit{2.0f, 0};
    criteria.temperatureHigh = StudyLimit{8.0f, 0};
    criteria.humidityHigh = StudyLimit{75.0f, 3600};
    criteria.maxSpread = 3.0f;
    const StudyPeriod period{from, from + kDays, 2 * 3600};
    for (auto _ : state) {
        const StudyResult result = AnalyseStudy(period, criteria, positions);
        benchmark::DoNotOptimize(result.pass);
    }
    state.SetItemsProcessed(state.iterations() * kPositions * records);
}
BENCHMARK(BM_AnalyseStudy)->Unit(benchmark::kMillisecond)->UseRealTime();

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
