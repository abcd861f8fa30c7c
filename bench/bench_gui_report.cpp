// The report of a 100,000-record log: with every record in the table against the table
// printout alone on the same paper in the same run (the ratio is the figure), and with the
// daily table.
#include <benchmark/benchmark.h>

#include <QElapsedTimer>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include "BenchWindow.h"
#include "logs/ExcursionRules.h"
#include "print/Report.h"
#include "print/TablePrinter.h"

namespace quorvex {
namespace {

void Fill(ResultsStore& store, int count) {
    store.loggerType = QStringLiteral("0201");
    store.loggerName = QStringLiteral("Bench");
    store.intervalSeconds = 300;
    store.thresholds = Thresholds{24.0f, 20.5f, 60.0f, 40.0f};
    for (int k = 0; k < count; ++k) store.Append(20.0f + (k % 50) / 10.0f, 50.0f, 45000.0 + k * 300.0 / 86400.0);
}

double TableAloneMs(const ResultsStore& store, const QString& path) {
    QElapsedTimer timer;
    timer.start();
    QPdfWriter writer(path);
    writer.setResolution(600);
    writer.setPageSize(QPageSize(QPageSize::A4));
    QPainter painter(&writer);
    PrintHeaderOptions options;
    options.interval = options.firstLog = options.printDate = false;
    benchmark::DoNotOptimize(PrintTable(painter, writer, store, options).pages);
    painter.end();
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

double ReportMs(const ResultsStore& store, const QString& path, ReportTable table, int& pages) {
    QElapsedTimer timer;
    timer.start();
    ReportRequest request;
    request.results = &store;
    request.rules = DefaultRules(store);
    request.table = table;
    pages = WriteReport(path, request).pages;
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

void BM_ReportFullTableAgainstTablePrintout(benchmark::State& state) {
    bench::EnsureApplication();
    ResultsStore store;
    Fill(store, static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    double table = 0, report = 0;
    int pages = 0;
    for (auto _ : state) {
        table += TableAloneMs(store, dir.filePath(QStringLiteral("table.pdf")));
        report += ReportMs(store, dir.filePath(QStringLiteral("report.pdf")), ReportTable::All, pages);
    }
    state.counters["table_ms"] = table / static_cast<double>(state.iterations());
    state.counters["report_ms"] = report / static_cast<double>(state.iterations());
    state.counters["ratio"] = report / table;
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ReportFullTableAgainstTablePrintout)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_ReportDailyTable(benchmark::State& state) {
    bench::EnsureApplication();
    ResultsStore store;
    Fill(store, static_cast<int>(state.range(0)));
    QTemporaryDir dir;
    int pages = 0;
    for (auto _ : state) ReportMs(store, dir.filePath(QStringLiteral("daily.pdf")), ReportTable::Daily, pages);
    state.counters["pages"] = pages;
}
BENCHMARK(BM_ReportDailyTable)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
