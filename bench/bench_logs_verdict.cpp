// The verdict of 1,000,000 records of a humidity logger: the four threshold rules, and a set
// with a dew point rule (one dew point a record) and total-time rules.
#include <benchmark/benchmark.h>

#include "logs/ExcursionRules.h"

namespace {

using namespace quorvex;

void BM_VerdictMillion(benchmark::State& state) {
    constexpr int kRecords = 1'000'000;
    ResultsStore store;
    store.loggerType = QStringLiteral("0201");
    store.intervalSeconds = 300;
    store.thresholds = Thresholds{8.0f, 2.0f, 75.0f, 25.0f};
    const Moment start = ToMoment(QDate(2015, 3, 1), QTime(8, 30));
    for (int i = 0; i < kRecords; ++i)
        store.Append(static_cast<float>((i % 200 - 50) * 0.1), static_cast<float>((i % 1000) * 0.1),
                     start + i * 300.0 / 86400.0);
    QList<ExcursionRule> rules = DefaultRules(store);
    if (state.range(0) == 1) {
        rules = {{RuleSeries::Temperature, RuleSide::Above, 8.0f, RuleMeasure::TotalTime, 3600},
                 {RuleSeries::Humidity, RuleSide::Below, 25.0f, RuleMeasure::SingleExcursion, 1800},
                 {RuleSeries::DewPoint, RuleSide::Above, 5.0f, RuleMeasure::SingleExcursion, 0}};
    }
    for (auto _ : state) benchmark::DoNotOptimize(EvaluateRules(store, rules).Pass());
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_VerdictMillion)->Arg(0)->Arg(1)->ArgNames({"dew_point"})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
