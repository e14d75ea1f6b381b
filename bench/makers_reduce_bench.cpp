// Another maker's raw file read and reduced: a GSI-16 file of 1,000,000 lines in 10,000
// setups, read a setup at a time and reduced to record lines. stadix-cli reduce as a whole
// process first (its peak memory), with a new point at every line and with the same 99
// targets measured from every setup; then the reduction alone, in this process.
#include "base/FileIO.h"
#include "bench/Process.h"
#include "survey/StreamedReduction.h"

#include <cstdio>
#include <filesystem>

#include <benchmark/benchmark.h>

namespace {

constexpr int kLines = 1000000;
constexpr int kShotsPerSetup = 99;

// A GSI-16 point id: the name with zeros before it.
std::string PointId(char prefix, int number) {
    const std::string name = prefix + std::to_string(number);
    return std::string(16 - name.size(), '0') + name;
}

// A station block, then its shots: GSI-16 words in mm, gon to 1e-5, heights. The shots
// measure a new point each, or the same targets from every setup. Written a line at a
// time: a child process starts with the peak memory of this one.
std::string GsiFile(bool sameTargets) {
    const std::string path =
        bench::BenchFolder() + (sameTargets ? "/targets1m.gsi" : "/reduce1m.gsi");
    if (std::filesystem::exists(path))
        return path;
    stadix::AtomicFileWriter file(path);
    char line[160];
    for (int n = 1, setup = 0; n <= kLines; ++setup, ++n) {
        std::snprintf(
            line, sizeof line, "*11%04d+%s 84..10+%016d 85..10+%016d 86..10+%016d 88..10+%016d\r\n",
            n % 10000, PointId('S', setup).c_str(), 1000000 + setup * 50, 2000000, 50000, 1500);
        file.Write(line);
        for (int i = 0; i < kShotsPerSetup && n < kLines; ++i) {
            ++n;
            std::snprintf(line, sizeof line,
                          "*11%04d+%s 21.102+%016d 22.102+%016d 31..06+%016d 87..10+%016d\r\n",
                          n % 10000, PointId(sameTargets ? 'T' : 'P', sameTargets ? i : n).c_str(),
                          i * 3637 % 4000000, 10000000 - i % 50 * 1000, 10000 + i * 100, 1500);
            file.Write(line);
        }
    }
    file.Commit();
    return path;
}

void BM_StadixCliReduceGsi16Lines1M(benchmark::State& state) {
    const std::string output = bench::BenchFolder() + "/reduced.jcd";
    bench::RunEachIteration(state, {STADIX_CLI, "reduce", GsiFile(false), output});
}
BENCHMARK(BM_StadixCliReduceGsi16Lines1M)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StadixCliReduceGsi16Lines1MSameTargets(benchmark::State& state) {
    const std::string output = bench::BenchFolder() + "/targets.jcd";
    bench::RunEachIteration(state, {STADIX_CLI, "reduce", GsiFile(true), output});
}
BENCHMARK(BM_StadixCliReduceGsi16Lines1MSameTargets)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_ReduceGsi16Lines1M(benchmark::State& state) {
    const std::string path = GsiFile(false);
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
