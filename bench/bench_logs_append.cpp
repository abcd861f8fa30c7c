// Decoding log replies into the results store and the table model: a whole
// download of 1,000,000 records through LogDownload::AppendLogBlock in
// blocks of 62 records, as the logger sends them.
#include <benchmark/benchmark.h>

#include "LogBenchUtil.h"
#include "params/LoggerChannel.h"

namespace {

using namespace quorvex;

void BM_DecodeAndAppendMillion(benchmark::State& state) {
    constexpr int kRecords = 1'000'000;
    ParameterModel params;
    LoggerChannel channel;
    channel.enqueue = [](const Request&) {};  // requests go nowhere: the blocks are fed directly
    params.Connect(std::move(channel));
    bench::FillParameters(params, kRecords);
    ResultsStore store;
    TableOnlyView view(store);
    LogDownload manager(params, store);
    manager.SetView(&view);
    manager.SetParamsReady(true);
    manager.Reset();
    std::vector<std::vector<std::uint8_t>> blocks;
    for (int i = 0; i < 97; ++i) blocks.push_back(bench::Block(i * 13));

    for (auto _ : state) {
        bench::Download(manager, kRecords, blocks);
        if (store.Count() != kRecords || view.model.rowCount() != kRecords) state.SkipWithError("records lost");
    }
    state.SetItemsProcessed(state.iterations() * kRecords);
}
BENCHMARK(BM_DecodeAndAppendMillion)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
