// Writing and reading back the results text file and the CSV file for
// 1,000,000 records of a humidity logger, under Polish number and date formats.
// The argument is the save interval in seconds: 300 gives 288 distinct times
// of day, 1 gives 86,400 (every time text read afresh once).
#include <benchmark/benchmark.h>

#include <QLocale>
#include <QTemporaryDir>

#include "LogBenchUtil.h"
#include "logs/ResultsFile.h"
#include "logs/ResultsReader.h"

namespace {

using namespace quorvex;

constexpr int kRecords = 1'000'000;

void Fill(ResultsStore& store, int interval) {
    QLocale::setDefault(QLocale(QStringLiteral("pl_PL")));
    bench::FillResults(store, kRecords, interval);
}

ResultsFormat FormatOf(const benchmark::State& state) {
    return state.range(1) ? ResultsFormat::Csv : ResultsFormat::Text;
}

void BM_WriteResultsFileMillion(benchmark::State& state) {
    ResultsStore store;
    Fill(store, static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wyniki"));
    for (auto _ : state) {
        const SaveResultsOutcome outcome = SaveResultsFile(path, store, FormatOf(state));
        if (!outcome.ok) state.SkipWithError(qPrintable(outcome.errorText));
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    state.counters["file_MB"] = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_WriteResultsFileMillion)->ArgsProduct({{300, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

void BM_ReadResultsFileMillion(benchmark::State& state) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wyniki"));
    {
        ResultsStore store;
        Fill(store, static_cast<int>(state.range(0)));
        if (!SaveResultsFile(path, store, FormatOf(state)).ok) state.SkipWithError("not written");
    }
    for (auto _ : state) {
        ResultsStore opened;
        const ReadResultsOutcome outcome = ReadResultsFile(path, opened);
        if (!outcome.ok || opened.Count() != kRecords) state.SkipWithError(qPrintable(outcome.errorText));
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_ReadResultsFileMillion)->ArgsProduct({{300, 1}, {0, 1}})->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
