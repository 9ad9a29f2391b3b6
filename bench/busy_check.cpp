// The busy check of Pellavo and Orvane: are any of the three tools running? One read of
// the real process list for three names.

#include "ToolWatch.h"

#include <benchmark/benchmark.h>

namespace {

void BM_BusyCheck(benchmark::State& state) {
    chain::SystemProcessWatch watch;
    chain::ToolWatch tools(watch, {});
    for (auto _ : state)
        benchmark::DoNotOptimize(tools.anyToolBusy());
}
BENCHMARK(BM_BusyCheck)->Unit(benchmark::kMillisecond);

} // namespace
