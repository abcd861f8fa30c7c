// The program's own cost of one exchange: 50 reads of 29 registers against quorvex-sim
// paced at 9600 baud. An exchange lasts from the request's transmission (FrameSent) to the
// hand-over of its reply (ReadDone); it is made of the request and reply on the line, the 800 ms
// of silence that ends the reply, and the program's overhead, which is what is reported
// (overhead_ms = duration - 800 ms - line time). gap_ms is the time from one hand-over to
// the next transmission.
#include <benchmark/benchmark.h>

#include <algorithm>

#include "BenchEngine.h"

using namespace quorvex;
using namespace quorvex::bench;

namespace {
constexpr int kExchanges = 50;
constexpr std::uint16_t kRegisters = 29;
// Request (8 bytes) and reply (5 + 2 × 29 bytes) at 10 bits a byte, 9600 baud.
constexpr double kLineMs = (8.0 + 5.0 + 2.0 * kRegisters) * 10.0 / 9.6;

void BM_EngineExchange(benchmark::State& state) {
    BenchEngine engine;
    if (!engine.Error().empty()) {
        state.SkipWithError(engine.Error().c_str());
        return;
    }
    TimingTarget& target = engine.Target();
    TransmissionThread& thread = engine.Thread();
    std::vector<double> overhead, gap;
    for (auto _ : state) {
        for (int i = 0; i < kExchanges; ++i) {
            Request r;
            r.Function = FN_READ_HOLDING;
            r.StartRegister = 0;
            r.Count = kRegisters;
            r.Attempts = 3;
            thread.AddRecord(r);
        }
        if (!target.WaitFor(Msg::ReadDone, kExchanges, std::chrono::seconds(120))) {
            state.SkipWithError("the exchanges did not finish");
            break;
        }
    }
    engine.End();
    const auto sent = target.Of(Msg::FrameSent);
    const auto done = target.Of(Msg::ReadDone);
    using ms = std::chrono::duration<double, std::milli>;
    for (int i = 0; i < kExchanges && i < static_cast<int>(std::min(sent.size(), done.size())); ++i) {
        overhead.push_back(ms(done[i].At - sent[i].At).count() - 800.0 - kLineMs);
        if (i + 1 < static_cast<int>(sent.size())) gap.push_back(ms(sent[i + 1].At - done[i].At).count());
    }
    if (overhead.empty()) return;
    auto mean = [](const std::vector<double>& v) {
        double s = 0;
        for (double x : v) s += x;
        return v.empty() ? 0.0 : s / static_cast<double>(v.size());
    };
    state.counters["exchanges"] = static_cast<double>(overhead.size());
    state.counters["line_ms"] = kLineMs;
    state.counters["overhead_ms_mean"] = mean(overhead);
    state.counters["overhead_ms_max"] = *std::max_element(overhead.begin(), overhead.end());
    state.counters["overhead_ms_min"] = *std::min_element(overhead.begin(), overhead.end());
    state.counters["gap_ms_mean"] = mean(gap);
    state.counters["gap_ms_max"] = gap.empty() ? 0.0 : *std::max_element(gap.begin(), gap.end());
}
}  // namespace

BENCHMARK(BM_EngineExchange)->Iterations(1)->Unit(benchmark::kSecond)->UseRealTime();
BENCHMARK_MAIN();
