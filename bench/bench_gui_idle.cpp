// Processor time of the whole program at rest: the real main window with all
// its windows, connected to quorvex-sim (paced at 9600 baud) and polling it
// once a second, nothing else happening, for 30 s after every parameter has
// arrived. The figure that matters is the counter cpu_percent: the process's
// CPU time (window and transmission thread together) as a share of one core.
// Processor time, not wall time, so other work on the machine does not count.
// The window's thread and the transmission thread are also timed on their own
// (window_cpu_ms, transmission_cpu_ms) and compared: window_per_transmission is
// the window's time over the transmission thread's in the same run. A window
// that redraws only what a poll changed stays well below the thread that polls.
//
// The platform is the one QT_QPA_PLATFORM names (offscreen when unset); run it
// under Xvfb with QT_QPA_PLATFORM=xcb to include the X server round trips.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include <QEventLoop>
#include <QLineEdit>
#include <QTimer>

#include "BenchSim.h"
#include "BenchWindow.h"
#include "EventLoopWait.h"
#include "ThreadCpu.h"
#include "modbus/TransmissionThread.h"
#include "ui/ObjectNames.h"
#include "ui/dialogs/ParameterReadWindow.h"

namespace quorvex {
namespace {

double CpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_ProgramIdle(benchmark::State& state) {
    bench::EnsureApplication();
    const int seconds = static_cast<int>(state.range(0));
    bench::BenchSim sim({});
    if (!sim.Running()) {
        state.SkipWithError("quorvex-sim did not start");
        return;
    }
    for (auto _ : state) {
        bench::BenchWindows windows(QString::fromStdString(sim.Link()));
        auto& form = windows.form;
        form->show();
        ParameterReadWindow* wait = form->Windows().parameterReadWindow;
        if (!test::WaitUntil([&] { return form->ParamsReady() && !wait->isVisible(); }, 30000)) {
            state.SkipWithError("parameters not read");
            return;
        }
        test::RunFor(2000);  // the first repaints after the connection settle

        int clockUpdates = 0;
        auto* clock = form->findChild<QLineEdit*>(QString::fromLatin1(objname::kTimeField));
        QObject::connect(clock, &QLineEdit::textChanged, [&] { ++clockUpdates; });
        // The window runs on the program's main thread; a QThread bears its object
        // name, else its class name.
        const int windowTid = static_cast<int>(::getpid());
        const QThread* thread = form->Thread();
        const QByteArray threadName = thread->objectName().isEmpty() ? QByteArray(thread->metaObject()->className())
                                                                     : thread->objectName().toLocal8Bit();
        const int transmissionTid = bench::FindThread(threadName).tid;
        if (transmissionTid == 0) {
            state.SkipWithError("transmission thread not found in /proc/self/task");
            return;
        }

        QEventLoop loop;
        QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
        const double start = CpuSeconds();
        const double windowStart = bench::ReadThreadCpu(windowTid).seconds;
        const double transmissionStart = bench::ReadThreadCpu(transmissionTid).seconds;
        loop.exec();
        const double cpu = CpuSeconds() - start;
        const double window = bench::ReadThreadCpu(windowTid).seconds - windowStart;
        const double transmission = bench::ReadThreadCpu(transmissionTid).seconds - transmissionStart;

        state.counters["cpu_seconds"] = cpu;
        state.counters["cpu_percent"] = 100.0 * cpu / seconds;
        state.counters["window_cpu_ms"] = 1000.0 * window;
        state.counters["transmission_cpu_ms"] = 1000.0 * transmission;
        state.counters["window_per_transmission"] = transmission > 0 ? window / transmission : 0.0;
        // The clock comes with every other poll; a stalled link would show here.
        state.counters["clock_updates"] = clockUpdates;
    }
}
BENCHMARK(BM_ProgramIdle)->Arg(30)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();

}  // namespace
}  // namespace quorvex

BENCHMARK_MAIN();
