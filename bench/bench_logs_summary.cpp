// The summary of 1,000,000 records of a humidity logger with thresholds:
// extremes, means, time beyond the four thresholds, excursions and the mean
// kinetic temperature, taken in from nothing, with the rows the tab shows.
#include <benchmark/benchmark.h>

#include "logs/ResultsSummary.h"

namespace {

using namespace quorvex;

void BM_SummaryMillion(benchmark::State& state) {
    constexpr int kRecords = 1'000'000;
    ResultsStore store;
    store.loggerType = QStringLiteral("0201");
    store.intervalSeconds = 300;
    store.thresholds = Thresholds{8.0f, 2.0f, 75.0f, 25.0f};
    const Moment start = ToMoment(QDate(2015, 3, 1), QTime(8, 30));
    for (int i = 0; i < kRecords; ++i)
        store.Append(static_cast<float>((i % 200 - 50) * 0.1), static_cast<float>((i % 1000) * 0.1),
                     start + i * 300.0 / 86400.0);
    for (auto _ : state) {
        ResultsSummary summary;
        summary.Update(store);
        benchmark::DoNotOptimize(SummaryRows(summary, store, u'.'));
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_SummaryMillion)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
