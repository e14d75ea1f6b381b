// The card's job store: reading and listing every record of a full store of the largest
// kind, and appending a job's worth of records.
#include "bench/FullJobStore.h"
#include "job/RecordLine.h"
#include "sdcard/CardExport.h"
#include "sdcard/CardImport.h"

#include <benchmark/benchmark.h>

namespace {

// Every job of the store read and rendered as the listing, as a raw-data import does.
void BM_ReadAndListFullJobStore(benchmark::State& state) {
    const std::string path = bench::FullJobStoreFile();
    std::size_t lines = 0;
    for (auto _ : state) {
        stadix::JobStore store;
        stadix::OpenCardJobStore(store, path, stadix::CardAccess::ReadOnly);
        lines = 0;
        for (int position = 0; position < store.DirectoryLength(); ++position) {
            stadix::Job job;
            stadix::ImportJobRecords(store, store.JobAtPosition(position),
                                     stadix::ImportDataType::RawData, job);
            lines += job.lines.size();
        }
    }
    state.counters["lines"] = double(lines);
}
BENCHMARK(BM_ReadAndListFullJobStore)->Unit(benchmark::kMillisecond);

// 3072 records into a new job of an empty store of the largest kind, each written
// through to the file, with one sync when the store is closed.
void BM_AppendJobOf3072(benchmark::State& state) {
    const std::string path = bench::BenchFolder() + "/EMPTY.TSD";
    const std::string empty = stadix::test::JobStoreImage(stadix::kJobStoreLayouts[3]).Bytes();
    stadix::Job job;
    for (int i = 0; i < 3072; ++i)
        job.lines.push_back(stadix::MakeRecordLine(
            "P" + std::to_string(i), "CODE", std::to_string(1000 + i) + ".125", "2000.5", "12.25"));
    std::size_t stored = 0;
    for (auto _ : state) {
        state.PauseTiming();
        stadix::WriteFileAtomically(path, empty);
        state.ResumeTiming();
        stadix::JobStore store;
        stadix::OpenCardJobStore(store, path, stadix::CardAccess::ReadWrite);
        const int number = store.CreateJob("BENCH");
        stored = stadix::ExportToJob(store, number, job).stored;
        store.CloseJobStore();
    }
    state.counters["stored"] = double(stored);
}
BENCHMARK(BM_AppendJobOf3072)->Unit(benchmark::kMillisecond);

} // namespace
