// Coordinates from a large measurement file: read, reduced and written as a job file.
#include "bench/BenchData.h"
#include "job/JobFile.h"
#include "survey/RawMeasurements.h"
#include "survey/Reduction.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::size_t kShotsPerSetup = 100;

void BM_ReduceMeasurementFile(benchmark::State& state) {
    const auto setups = static_cast<std::size_t>(state.range(0));
    const std::string store = bench::TraverseStore(setups, kShotsPerSetup);
    std::size_t records = 0;
    for (auto _ : state) {
        const stadix::Reduction reduction =
            stadix::Reduce(stadix::ReadRawMeasurements(store), stadix::ReductionOptions());
        const std::string job = stadix::JobFileBytes(reduction.recordLines);
        records = reduction.recordLines.size();
        benchmark::DoNotOptimize(job.data());
    }
    state.counters["records"] = static_cast<double>(records);
    state.SetItemsProcessed(state.iterations() *
                            static_cast<std::int64_t>(setups * kShotsPerSetup));
}
// 100,000 and 1,000,000 observations.
BENCHMARK(BM_ReduceMeasurementFile)->Arg(1000)->Arg(10000)->Unit(benchmark::kMillisecond);

} // namespace
