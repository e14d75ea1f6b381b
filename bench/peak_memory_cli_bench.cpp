// Peak memory of stadix-cli on inputs far longer than what it keeps: export of a job
// file of 5,000,000 lines (Open keeps 15999), import of a CSV file of about 222 MB
// (Import keeps 15999 lines) and card-import of a PTS file of 5,000,000 lines (every
// line becomes a record of the output).
#include "base/FileIO.h"
#include "bench/Process.h"
#include "job/RecordLine.h"

#include <filesystem>
#include <functional>

#include <benchmark/benchmark.h>

namespace {

// Writes count lines, a piece at a time: a child process starts with the peak memory
// of this one, which must stay small for the child's peak to be its own.
std::string GeneratedFile(const std::string& name, int count,
                          const std::function<void(std::string&, int)>& appendLine) {
    const std::string path = bench::BenchFolder() + "/" + name;
    stadix::AtomicFileWriter file(path);
    std::string piece;
    for (int i = 0; i < count; ++i) {
        appendLine(piece, i);
        if (piece.size() >= (1 << 20)) {
            file.Write(piece);
            piece.clear();
        }
    }
    file.Write(piece);
    file.Commit();
    return path;
}

std::string Northing(int i) {
    return std::to_string(4500000 + i) + ".125";
}

std::string Easting(int i) {
    return std::to_string(500000 + i % 1000) + ".5";
}

void Run(benchmark::State& state, const std::string& input,
         const std::vector<std::string>& arguments) {
    bench::RunEachIteration(state, arguments);
    state.counters["input_MB"] = double(std::filesystem::file_size(input)) / (1 << 20);
    std::filesystem::remove(input);
    std::filesystem::remove(arguments.back());
}

void BM_ExportJobOf5MLines(benchmark::State& state) {
    const std::string input = GeneratedFile("big.JCD", 5000000, [](std::string& out, int i) {
        out += stadix::MakeRecordLine("P" + std::to_string(i), "CODE", Northing(i), Easting(i),
                                      "12.345");
        out += "\r\n";
    });
    Run(state, input,
        {STADIX_CLI, "export", "--format", "pts", input, bench::BenchFolder() + "/out.pts"});
}
BENCHMARK(BM_ExportJobOf5MLines)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_ImportCsvOf222MB(benchmark::State& state) {
    const std::string input = GeneratedFile("big.csv", 5570000, [](std::string& out, int i) {
        out += "P" + std::to_string(i) + "," + Northing(i) + "," + Easting(i) + ",12.345,TREE\n";
    });
    Run(state, input,
        {STADIX_CLI, "import", "--format", "csv", input, bench::BenchFolder() + "/out.JCD"});
}
BENCHMARK(BM_ImportCsvOf222MB)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_CardImportPtsOf5MLines(benchmark::State& state) {
    const std::string input = GeneratedFile("BIG.PTS", 5000000, [](std::string& out, int i) {
        out += "P" + std::to_string(i) + "," + Easting(i) + "," + Northing(i) + ",12.345,TREE\r\n";
    });
    Run(state, input, {STADIX_CLI, "card-import", input, bench::BenchFolder() + "/out.JCD"});
}
BENCHMARK(BM_CardImportPtsOf5MLines)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
