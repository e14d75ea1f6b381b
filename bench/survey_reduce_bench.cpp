// Coordinates from a large measurement file: read, reduced and written as a job file.
#include "bench/BenchData.h"
#include "job/JobFile.h"
#include "survey/RawMeasurements.h"
#include "survey/Reduction.h"

#include <benchmark/benchmark.h>

namespace {

constexpr std::size_t kShotsPerSetup = 100;

// setups stations of a traverse, each with its station group (wrapping at 256), a
// backsight observed once and 99 points; big-endian, metres.
std::string TraverseStore(std::size_t setups) {
    std::string store(2 * stadix::kRawRecordSize, '\0');
    store[0] = static_cast<char>(stadix::kTypeInst);
    std::memcpy(&store[1], "RVA110    ", 10);
    store[stadix::kRawRecordSize] = static_cast<char>(stadix::kTypeUnit);
    char record[stadix::kRawRecordSize];
    const auto add = [&](std::uint8_t type, const std::string& name, std::size_t group) {
        std::memset(record, 0, sizeof record);
        record[0] = static_cast<char>(type);
        std::snprintf(record + 1, 9, "%s", name.c_str());
        bench::PutFloat(record, stadix::raw::kHeight, 1.5f);
        record[stadix::raw::kStationGroup] = static_cast<char>(group % 256);
    };
    const auto coordinates = [&](std::uint32_t north, std::uint32_t east) {
        bench::PutBigEndian(record, stadix::raw::kNorth, north, 4);
        bench::PutBigEndian(record, stadix::raw::kEast, east, 4);
        bench::PutBigEndian(record, stadix::raw::kElevation, 100, 4);
        store.append(record, sizeof record);
    };
    for (std::size_t s = 0; s < setups; ++s) {
        add(stadix::kTypeStn, "S" + std::to_string(s), s);
        coordinates(static_cast<std::uint32_t>(1000 + s * 50), 5000);
        add(stadix::kTypeBs, "S" + std::to_string(s + 1), s);
        coordinates(static_cast<std::uint32_t>(1050 + s * 50), 5000);
        for (std::size_t i = 0; i < kShotsPerSetup; ++i) {
            add(stadix::kTypeDist,
                i == 0 ? "S" + std::to_string(s + 1) : "P" + std::to_string(s * 100 + i), s);
            bench::PutFloat(record, stadix::raw::kSlopeDistance, 10.0f + static_cast<float>(i));
            bench::PutBigEndian(record, stadix::raw::kVerticalAngle, 320000 + i * 97, 4);
            bench::PutBigEndian(record, stadix::raw::kHorizontalAngle, i * 12907 % 1296000, 4);
            store.append(record, sizeof record);
        }
    }
    return store;
}

void BM_ReduceMeasurementFile(benchmark::State& state) {
    const auto setups = static_cast<std::size_t>(state.range(0));
    const std::string store = TraverseStore(setups);
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
