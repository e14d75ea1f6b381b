// Converting a whole received GTS coordinate stream into record lines.
#include "job/ReceivedCoords.h"

#include <benchmark/benchmark.h>

#include <cstdio>

namespace {

// 15999 points in blocks framed as on the line (STX ... number, check, ETX, CR LF).
std::vector<std::string> GtsStream() {
    std::vector<std::string> lines;
    std::string block = "\x02";
    for (int i = 0; i < 15999; ++i) {
        char point[80];
        std::snprintf(point, sizeof point, "_+P%-7d_ x%010d_ y%010d_ z%010d", i, 1000000 + i,
                      2000000 + i, 1000 + i);
        block += point;
        if (block.size() > 128) {
            lines.push_back(block + "0123\x03");
            block = "\x02";
        }
    }
    lines.push_back(block + "0123\x03");
    return lines;
}

void BM_ConvertGts15999(benchmark::State& state) {
    const std::vector<std::string> stream = GtsStream();
    std::size_t converted = 0;
    for (auto _ : state) {
        std::vector<std::string> lines = stream;
        stadix::ConvertReceivedCoordinates(lines, stadix::DataFormat::Gts);
        converted = lines.size();
    }
    state.counters["points"] = double(converted);
}
BENCHMARK(BM_ConvertGts15999)->Unit(benchmark::kMillisecond);

} // namespace
