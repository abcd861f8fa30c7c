// Processor time of the transmission thread on an open link with nothing queued but the
// poll, over 30 s against quorvex-sim (paced at 9600 baud). The figure that matters is the
// counter cpu_percent: the process's CPU time as a share of one core.
#include <benchmark/benchmark.h>

#include <sys/resource.h>

#include "BenchEngine.h"

using namespace quorvex;
using namespace quorvex::bench;

namespace {
double CpuSeconds() {
    rusage u{};
    ::getrusage(RUSAGE_SELF, &u);
    return static_cast<double>(u.ru_utime.tv_sec + u.ru_stime.tv_sec) +
           static_cast<double>(u.ru_utime.tv_usec + u.ru_stime.tv_usec) / 1e6;
}

void BM_EngineIdle(benchmark::State& state) {
    const int seconds = static_cast<int>(state.range(0));
    BenchEngine engine;
    if (!engine.Error().empty()) {
        state.SkipWithError(engine.Error().c_str());
        return;
    }
    TimingTarget& target = engine.Target();
    double cpu = 0;
    int polls = 0;
    for (auto _ : state) {
        const int before = static_cast<int>(target.Of(Msg::ReadDone).size());
        const double start = CpuSeconds();
        std::this_thread::sleep_for(std::chrono::seconds(seconds));
        cpu = CpuSeconds() - start;
        polls = static_cast<int>(target.Of(Msg::ReadDone).size()) - before;
    }
    engine.End();
    state.counters["cpu_seconds"] = cpu;
    state.counters["cpu_percent"] = 100.0 * cpu / seconds;
    state.counters["polls_answered"] = polls;
}
}  // namespace

BENCHMARK(BM_EngineIdle)->Arg(30)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_MAIN();
