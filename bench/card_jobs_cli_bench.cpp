// stadix-cli card-jobs of a full job store of the largest kind, as a whole process.
#include "bench/FullJobStore.h"

#include <benchmark/benchmark.h>

namespace {

void BM_CardJobsProcess(benchmark::State& state) {
    const std::string path = bench::FullJobStoreFile();
    for (auto _ : state) {
        if (!bench::RunProcess({STADIX_CLI, "card-jobs", path}).succeeded) {
            state.SkipWithError("stadix-cli card-jobs failed");
            break;
        }
    }
}
BENCHMARK(BM_CardJobsProcess)->Unit(benchmark::kMillisecond);

} // namespace
