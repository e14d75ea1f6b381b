// Another maker's raw file reduced in this process: a GSI-16 file of 1,000,000 lines in
// 10,000 setups, read a setup at a time and reduced to record lines.
#include "bench/GsiBenchFile.h"
#include "survey/StreamedReduction.h"

#include <benchmark/benchmark.h>

namespace {

void BM_ReduceGsi16Lines1M(benchmark::State& state) {
    const std::string path = bench::GsiBenchFile(false);
    std::size_t records = 0;
    for (auto _ : state) {
        stadix::StreamedReductionOutput output;
        std::size_t bytes = 0;
        output.recordLine = [&bytes](std::string&& line) { bytes += line.size(); };
        records = stadix::ReduceMakersFile(*stadix::FindMakersFormat("gsi"), path,
                                           stadix::ReductionOptions(), output)
                      .records;
        benchmark::DoNotOptimize(bytes);
    }
    state.counters["records"] = static_cast<double>(records);
}
BENCHMARK(BM_ReduceGsi16Lines1M)->Unit(benchmark::kMillisecond)->Iterations(3);

} // namespace
