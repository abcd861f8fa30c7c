// Table printout costs: 100 000 records printed to a PDF file on A4 (about
// 830 pages), with the time per record and the peak growth of the resident
// size while printing, which stays flat because pages are finished one by one.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryDir>

#include <fstream>
#include <string>

#include "BenchWindow.h"
#include "logs/ResultsStore.h"
#include "print/TablePrinter.h"

namespace quorvex {
namespace {

long PeakResidentKb() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stol(line.substr(6));
    return -1;
}

void BM_PrintTableToPdf(benchmark::State& state) {
    bench::EnsureApplication();
    ResultsStore store;
    store.loggerType = QStringLiteral("0201");
    store.loggerName = QStringLiteral("Bench");
    const int count = static_cast<int>(state.range(0));
    for (int k = 0; k < count; ++k) store.Append(20.0f + (k % 50) / 10.0f, 50.0f, 45000.0 + k * 300.0 / 86400.0);
    QTemporaryDir dir;
    long growthKb = 0;
    int pages = 0;
    for (auto _ : state) {
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        printer.setOutputFileName(dir.filePath(QStringLiteral("bench.pdf")));
        printer.setResolution(600);
        printer.setPageSize(QPageSize(QPageSize::A4));
        std::ofstream(std::string("/proc/self/clear_refs")) << "5";
        const long before = PeakResidentKb();
        QPainter painter(&printer);
        pages = PrintTable(painter, printer, store, PrintHeaderOptions{}).pages;
        painter.end();
        growthKb = std::max(growthKb, PeakResidentKb() - before);
    }
    state.SetItemsProcessed(state.iterations() * count);
    state.counters["pages"] = pages;
    state.counters["peak_growth_kB"] = static_cast<double>(growthKb);
}
BENCHMARK(BM_PrintTableToPdf)->Arg(10'000)->Arg(100'000)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
