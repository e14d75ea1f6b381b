// stadix-cli reduce of another maker's raw file as a whole process, with its peak memory: a
// GSI-16 file of 1,000,000 lines in 10,000 setups, with a new point at every line, and with
// the same 99 targets measured from every setup, with and without the report.
#include "bench/GsiBenchFile.h"

#include <benchmark/benchmark.h>

namespace {

void BM_StadixCliReduceGsi16Lines1M(benchmark::State& state) {
    const std::string output = bench::BenchFolder() + "/reduced.jcd";
    bench::RunEachIteration(state, {STADIX_CLI, "reduce", bench::GsiBenchFile(false), output});
}
BENCHMARK(BM_StadixCliReduceGsi16Lines1M)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StadixCliReduceGsi16Lines1MSameTargets(benchmark::State& state) {
    const std::string output = bench::BenchFolder() + "/targets.jcd";
    bench::RunEachIteration(state, {STADIX_CLI, "reduce", bench::GsiBenchFile(true), output});
}
BENCHMARK(BM_StadixCliReduceGsi16Lines1MSameTargets)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StadixCliReduceGsi16Lines1MSameTargetsReported(benchmark::State& state) {
    const std::string folder = bench::BenchFolder();
    bench::RunEachIteration(state, {STADIX_CLI, "reduce", bench::GsiBenchFile(true),
                                    folder + "/targets.jcd", "--report", folder + "/report.txt"});
}
BENCHMARK(BM_StadixCliReduceGsi16Lines1MSameTargetsReported)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3);

} // namespace
