// Record lines and the record table on a whole job.
#include "bench/BenchData.h"
#include "job/PrintLayout.h"
#include "job/RecordEditing.h"
#include "job/RecordTable.h"

#include <benchmark/benchmark.h>

namespace {

void BM_MakeRecordLine(benchmark::State& state) {
    for (auto _ : state)
        benchmark::DoNotOptimize(
            stadix::MakeRecordLine("P1234", "TREE", "1234567.891", "-2345.678", "12.3"));
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(BM_MakeRecordLine);

void BM_FillTable15999(benchmark::State& state) {
    const std::vector<std::string> lines = bench::JobLines(15999);
    stadix::RecordTable table;
    for (auto _ : state) {
        table.ClearTable();
        stadix::FillTable(table, lines);
    }
    state.SetItemsProcessed(state.iterations() * 15999);
}
BENCHMARK(BM_FillTable15999)->Unit(benchmark::kMillisecond);

void BM_GatherRecords15999(benchmark::State& state) {
    stadix::RecordTable table;
    stadix::FillTable(table, bench::JobLines(15999));
    std::vector<std::string> lines;
    for (auto _ : state)
        stadix::GatherRecords(table, lines);
    state.SetItemsProcessed(state.iterations() * 15999);
}
BENCHMARK(BM_GatherRecords15999)->Unit(benchmark::kMillisecond);

// A name that only the last row holds: Find reads every row.
void BM_Find15999(benchmark::State& state) {
    stadix::RecordTable table;
    stadix::FillTable(table, bench::JobLines(15999));
    for (auto _ : state)
        benchmark::DoNotOptimize(stadix::FindRecord(table, 1, "p15998"));
    state.SetItemsProcessed(state.iterations() * 15999);
}
BENCHMARK(BM_Find15999)->Unit(benchmark::kMillisecond);

void BM_LayOutCoordinateList15999(benchmark::State& state) {
    const std::vector<std::string> lines = bench::JobLines(15999);
    const stadix::PageGeometry geometry = stadix::CoordinateListGeometry(13600, 160);
    for (auto _ : state)
        benchmark::DoNotOptimize(stadix::LayOutCoordinateList(lines, geometry));
    state.SetItemsProcessed(state.iterations() * 15999);
}
BENCHMARK(BM_LayOutCoordinateList15999)->Unit(benchmark::kMillisecond);

} // namespace
