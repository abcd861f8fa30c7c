// A whole log download through the main window and its transmission thread
// against the simulated logger paced at 9600 baud: the 5,000-record scenario,
// from the click on "[10]Rozpocznij odczyt od nowa" to the end of the log.
//
// The line and the protocol alone need, for each of the 81 log read replies,
// its transfer time plus the 800 ms of silence that ends it (the floor). Next
// to it they need the requests' bytes, the set-next-record write with its own
// silence and the closing refusal; those are reported apart, and what remains
// is the program's own overhead. Run twice: with replies ended by the silence and with
// "Szybki odczyt" (the fast frame end) chosen in the settings menu, where the silence drops
// out and the whole download nears the line's own time (line_s).
#include <benchmark/benchmark.h>

#include <QAction>

#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>

#include <chrono>
#include <string>
#include <vector>

#include "BenchSim.h"
#include "BenchWindow.h"
#include "EventLoopWait.h"
#include "logs/LogDownload.h"
#include "logs/ResultsStore.h"
#include "modbus/TransmissionThread.h"
#include "ui/MainWindow.h"
#include "ui/ObjectNames.h"

namespace quorvex {
namespace {

using Clock = std::chrono::steady_clock;

// The scenario file beside the sources: bench/../tools/sim/scenarios.
const std::string kScenario = QUORVEX_SOURCE_DIR "/tools/sim/scenarios/temperature.ini";

constexpr double kByteMs = 10.0 * 1000.0 / 9600.0;  // 8N1: ten bits a byte
constexpr double kSilenceMs = TransmissionThread::kSilenceMs;

void BM_GuiDownload5000(benchmark::State& state) {
    const bool fast = state.range(0) != 0;
    state.SetLabel(fast ? "fast reading" : "silence");
    bench::EnsureApplication();
    bench::BenchSim sim({"--scenario", kScenario, "--clock", "2015-03-30 12:00:00"});
    if (!sim.Running()) {
        state.SkipWithError("quorvex-sim did not start");
        return;
    }
    for (auto _ : state) {
        // All windows: the chart window is refreshed after every block.
        bench::BenchWindows windows(QString::fromStdString(sim.Link()));
        auto& form = windows.form;
        bool finished = false;
        Clock::time_point endAt;
        windows.prompts.boxShown = [&](const QString&) {
            endAt = Clock::now();
            finished = true;
        };
        // Each block's arrival, as the table takes it.
        std::vector<Clock::time_point> blocks;
        std::vector<int> sizes;
        auto* table = form->findChild<QTableView*>(QString::fromLatin1(objname::kResultsTable));
        QObject::connect(table->model(), &QAbstractItemModel::rowsInserted,
                         [&](const QModelIndex&, int first, int last) {
                             blocks.push_back(Clock::now());
                             sizes.push_back(last - first + 1);
                         });
        form->findChild<QAction*>(QString::fromLatin1(objname::kFastFramesItem))->setChecked(fast);
        form->show();
        if (!test::WaitUntil([&] { return form->ParamsReady(); }, 30000)) {
            state.SkipWithError("parameters not read");
            return;
        }
        // Start right after a poll reply, as an operator's click mostly does:
        // the thread is idle then and takes the write at once.
        auto* clock = form->findChild<QLineEdit*>(QString::fromLatin1(objname::kTimeField));
        const QString seen = clock->text();
        test::WaitUntil([&] { return clock->text() != seen; }, 5000);

        const Clock::time_point startAt = Clock::now();
        form->findChild<QPushButton*>(QString::fromLatin1(objname::kStartReadButton))->click();
        if (!test::WaitUntil([&] { return finished; }, 300000) || windows.results.Count() != 5000) {
            state.SkipWithError("download did not finish");
            return;
        }
        const double wholeMs = std::chrono::duration<double, std::milli>(endAt - startAt).count();
        state.SetIterationTime(wholeMs / 1000.0);

        double floorMs = 0;
        for (int n : sizes) floorMs += (5 + 4 * n) * kByteMs + kSilenceMs;
        const int replies = static_cast<int>(sizes.size());
        // The requests (8 bytes each, 81 reads and the closing one), the write
        // (13 bytes, its 8-byte echo and silence) and the refusal (5 bytes and silence).
        const double extrasMs =
            (replies + 1) * 8 * kByteMs + (13 + 8) * kByteMs + kSilenceMs + 5 * kByteMs + kSilenceMs;
        state.counters["replies"] = replies;
        state.counters["whole_s"] = wholeMs / 1000.0;
        state.counters["floor_s"] = floorMs / 1000.0;
        state.counters["over_floor_pct"] = 100.0 * (wholeMs - floorMs) / floorMs;
        state.counters["line_extras_s"] = extrasMs / 1000.0;
        state.counters["program_overhead_pct"] = 100.0 * (wholeMs - floorMs - extrasMs) / floorMs;
        const double lineMs = floorMs - replies * kSilenceMs + extrasMs - 2 * kSilenceMs;
        state.counters["line_s"] = lineMs / 1000.0;
        state.counters["per_line"] = wholeMs / lineMs;
        state.counters["first_block_s"] = std::chrono::duration<double>(blocks.front() - startAt).count();
        state.counters["last_block_s"] = std::chrono::duration<double>(blocks.back() - startAt).count();

        windows.results.Clear();
    }
}
BENCHMARK(BM_GuiDownload5000)->Arg(0)->Arg(1)->Iterations(1)->UseManualTime()->Unit(benchmark::kSecond);

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
