// Rendering the listing of a large raw record store.
#include "rawconv/Listing.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

// 50,000 records: an INST and a UNIT record, then stations and observations of every
// kind with codes, in big-endian order.
std::string MakeStore(std::size_t records) {
    std::string store(records * stadix::kRawRecordSize, '\0');
    const std::uint8_t kinds[] = {stadix::kTypeStn, stadix::kTypeDist, stadix::kTypeAng,
                                  stadix::kTypeCrd, stadix::kTypeBkb,  stadix::kTypeBs,
                                  stadix::kTypePt};
    for (std::size_t i = 0; i < records; ++i) {
        char* record = &store[i * stadix::kRawRecordSize];
        record[0] = static_cast<char>(kinds[i % 7]);
        std::snprintf(record + 1, 9, "P%zu", i % 10000000);
        std::memcpy(record + 10, "CODE", 4);
        for (std::size_t b = 19; b < 41; ++b)
            record[b] = static_cast<char>(i * 7 + b);
        record[19] = 0x3F; // heights near 1.5 m
    }
    store[0] = static_cast<char>(stadix::kTypeInst);
    std::memcpy(&store[1], "RVA110    ", 10);
    store[42] = static_cast<char>(stadix::kTypeUnit);
    std::memset(&store[43], 0, 41);
    return store;
}

void BM_RenderListing(benchmark::State& state) {
    const std::string store = MakeStore(50000);
    for (auto _ : state) {
        stadix::DecodeState decodeState;
        std::vector<std::string> lines;
        stadix::RenderListing(decodeState, store, lines);
        benchmark::DoNotOptimize(lines.data());
    }
    state.SetItemsProcessed(state.iterations() * 50000);
}
BENCHMARK(BM_RenderListing)->Unit(benchmark::kMillisecond);

} // namespace
