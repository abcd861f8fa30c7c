// Opening a results text file of 1,000,000 records in the main window and
// showing it: from the open until the results table and the chart window (main
// chart and overview strip) have been painted with the opened records.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QTemporaryDir>

#include "BenchWindow.h"
#include "LogBenchUtil.h"
#include "chart/ChartWindow.h"
#include "chart/PaintBox.h"
#include "logs/ResultsFile.h"
#include "logs/ResultsStore.h"
#include "ui/ObjectNames.h"
#include "ui/ResultsTab.h"

namespace quorvex {
namespace {

constexpr int kRecords = 1'000'000;

// A humidity logger's file written under Polish formats, one record every
// `interval` seconds.
void WriteFile(const QString& path, int interval, benchmark::State& state) {
    ResultsStore store;
    bench::FillResults(store, kRecords, interval);
    if (!SaveResultsFile(path, store).ok) state.SkipWithError("file not written");
}

void BM_OpenAndShowMillion(benchmark::State& state) {
    bench::EnsureApplication();
    QLocale::setDefault(QLocale(QStringLiteral("pl_PL")));
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("wyniki.txt"));
    WriteFile(path, static_cast<int>(state.range(0)), state);

    bench::BenchWindows windows{QString()};  // no transmission thread
    auto& form = windows.form;
    windows.prompts.boxShown = [&](const QString& text) { state.SkipWithError(qPrintable(text)); };
    form->resize(1000, 700);
    form->show();
    form->Tabs()->setCurrentIndex(2);  // the results tab
    auto* table = form->findChild<QTableView*>(QString::fromLatin1(objname::kResultsTable));
    auto* chart = qobject_cast<ChartWindow*>(form->Windows().chartWindow);
    chart->resize(1200, 720);
    QApplication::processEvents();
    const int redrawsBefore = chart->ChartRedrawCount();

    for (auto _ : state) {
        if (!form->ResultsPage().OpenResultsFile(path) || windows.results.Count() != kRecords) break;
        form->findChild<QPushButton*>(QString::fromLatin1(objname::kChartButton))->click();
        table->viewport()->repaint();
        chart->chartBox->repaint();
        chart->overview->repaint();
        QApplication::processEvents();
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
    // Each open redraws the chart's back buffer once: the paint is really done.
    state.counters["chart_redraws_per_open"] =
        static_cast<double>(chart->ChartRedrawCount() - redrawsBefore) / static_cast<double>(state.iterations());
    chart->hide();
    windows.results.Clear();
}
BENCHMARK(BM_OpenAndShowMillion)->Arg(300)->Arg(1)->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
