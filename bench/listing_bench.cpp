// Rendering the listing, the SSS text and the polar text of a large raw record store.
#include "bench/BenchData.h"
#include "rawconv/Listing.h"
#include "rawconv/PolarText.h"
#include "rawconv/SssText.h"

#include <benchmark/benchmark.h>

namespace {

void BM_RenderListing(benchmark::State& state) {
    const std::string store = bench::MixedStore(50000);
    for (auto _ : state) {
        stadix::DecodeState decodeState;
        std::vector<std::string> lines;
        stadix::RenderListing(decodeState, store, lines);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetItemsProcessed(state.iterations() * 50000);
}
BENCHMARK(BM_RenderListing)->Unit(benchmark::kMillisecond);

void BM_SssText(benchmark::State& state) {
    const std::string store = bench::MixedStore(50000);
    for (auto _ : state) {
        stadix::DecodeState decodeState;
        std::vector<std::string> items;
        stadix::WriteSssText(decodeState, store, items);
        benchmark::DoNotOptimize(items.data());
    }
    state.SetItemsProcessed(state.iterations() * 50000);
}
BENCHMARK(BM_SssText)->Unit(benchmark::kMillisecond);

// 50,000 records of 5,000 stations; about 20 stations share each group value.
void BM_PolarText(benchmark::State& state) {
    const std::string store = bench::SurveyStore(5000);
    std::size_t size = 0;
    for (auto _ : state) {
        std::string text;
        stadix::WritePolarText(stadix::DecodeState(), store, text);
        size = text.size();
        benchmark::DoNotOptimize(text.data());
    }
    state.counters["MB"] = double(size) / 1e6;
    state.SetItemsProcessed(state.iterations() * 50000);
}
BENCHMARK(BM_PolarText)->Unit(benchmark::kMillisecond);

} // namespace
