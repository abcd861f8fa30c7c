// Memory of the results store and the table model holding 1,000,000 records,
// measured as the heap in use before and after (glibc mallinfo2).
#include <benchmark/benchmark.h>
#include <malloc.h>

#include "LogBenchUtil.h"
#include "params/LoggerChannel.h"

namespace {

using namespace quorvex;

std::size_t HeapInUse() {
    const struct mallinfo2 m = mallinfo2();
    return m.uordblks + m.hblkhd;
}

void BM_StoreAndModelMemoryMillion(benchmark::State& state) {
    constexpr int kRecords = 1'000'000;
    ParameterModel params;
    LoggerChannel channel;
    channel.enqueue = [](const Request&) {};  // requests go nowhere: the blocks are fed directly
    params.Connect(std::move(channel));
    bench::FillParameters(params, kRecords);
    std::vector<std::vector<std::uint8_t>> blocks{bench::Block(1), bench::Block(2)};
    double bytes = 0;
    for (auto _ : state) {
        const std::size_t before = HeapInUse();
        {
            auto store = std::make_unique<ResultsStore>();
            auto view = std::make_unique<TableOnlyView>(*store);
            LogDownload manager(params, *store);
            manager.SetView(view.get());
            manager.SetParamsReady(true);
            bench::Download(manager, kRecords, blocks);
            bytes = static_cast<double>(HeapInUse() - before);
            benchmark::DoNotOptimize(view->model.rowCount());
        }
    }
    state.counters["MB"] = bytes / (1024.0 * 1024.0);
    state.counters["bytes_per_record"] = bytes / kRecords;
}
BENCHMARK(BM_StoreAndModelMemoryMillion)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
