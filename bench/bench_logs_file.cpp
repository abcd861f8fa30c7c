// Writing the results text file for 1,000,000 records of a humidity logger.
#include <benchmark/benchmark.h>

#include <QTemporaryDir>

#include "logs/ResultsFile.h"

namespace {

using namespace quorvex;

void BM_WriteResultsFileMillion(benchmark::State& state) {
    constexpr int kRecords = 1'000'000;
    MLogi store;
    store.loggerName = QStringLiteral("Chłodnia 3");
    store.loggerType = QStringLiteral("0201");
    store.serialNumber = QStringLiteral("0019A7F3");
    const TDateTime start = ToTDateTime(QDate(2015, 3, 1), QTime(8, 30));
    for (int i = 0; i < kRecords; ++i)
        store.Append(static_cast<float>((i % 600 - 200) * 0.1), static_cast<float>((i % 1000) * 0.1),
                     start + i * 300.0 / 86400.0);
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wyniki.txt"));
    for (auto _ : state) {
        const SaveResultsOutcome outcome = SaveResultsFile(path, store);
        if (!outcome.ok) state.SkipWithError(qPrintable(outcome.errorText));
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    state.counters["file_MB"] = static_cast<double>(QFileInfo(path).size()) / (1024.0 * 1024.0);
}
BENCHMARK(BM_WriteResultsFileMillion)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
