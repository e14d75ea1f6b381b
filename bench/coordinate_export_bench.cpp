// Exporting a whole job in each coordinate format.
#include "bench/BenchData.h"
#include "formats/ExportFormats.h"

#include <benchmark/benchmark.h>

namespace {

void BM_Export15999(benchmark::State& state, const char* word) {
    const std::vector<std::string> records = bench::JobLines(15999);
    stadix::UserFormat layout = stadix::DefaultUserFormat();
    layout.columns = {stadix::ColE, stadix::ColN, stadix::ColZ, stadix::ColPt, stadix::ColCode};
    layout.numbered = true;
    const stadix::CoordinateFormat& format = *stadix::FindCoordinateFormat(word);
    for (auto _ : state)
        benchmark::DoNotOptimize(stadix::CoordinateExportBytes(format, records, layout));
    state.SetItemsProcessed(state.iterations() * 15999);
}
BENCHMARK_CAPTURE(BM_Export15999, Dxf, "dxf")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export15999, Pts, "pts")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export15999, Csv, "csv")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export15999, Sima, "sima")->Unit(benchmark::kMillisecond);
BENCHMARK_CAPTURE(BM_Export15999, User, "user")->Unit(benchmark::kMillisecond);

} // namespace
