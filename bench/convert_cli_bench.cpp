// stadix-cli convert as a whole process: CSV to DXF of 100,000 points against GDAL's
// ogr2ogr writing the same points, and the peak memory of a 1,000,000-point conversion.
#include "base/FileIO.h"
#include "bench/Process.h"

#include <filesystem>

#include <benchmark/benchmark.h>

namespace {

// Points as Import reads CSV (PT,N,E,Z,CODE), with a title row for GDAL when asked.
// Written a line at a time: a child process starts with the peak memory of this one,
// which must stay small for the child's peak to be its own.
std::string PointsCsv(int count, bool titled) {
    const std::string path =
        bench::BenchFolder() + "/points" + std::to_string(count) + (titled ? "t" : "") + ".csv";
    stadix::AtomicFileWriter file(path);
    if (titled)
        file.Write("PT,N,E,Z,CODE\n");
    for (int i = 0; i < count; ++i)
        file.Write("P" + std::to_string(i) + "," + std::to_string(4500000 + i) + ".125," +
                   std::to_string(500000 + i % 1000) + ".5,12.345,TREE\n");
    file.Commit();
    return path;
}

void BM_StadixConvertCsvToDxf100k(benchmark::State& state) {
    const std::string input = PointsCsv(100000, false);
    const std::string output = bench::BenchFolder() + "/stadix.dxf";
    bench::RunEachIteration(
        state, {STADIX_CLI, "convert", "--from", "csv", "--to", "dxf", input, output}, {output});
}
BENCHMARK(BM_StadixConvertCsvToDxf100k)->Unit(benchmark::kMillisecond);

void BM_Ogr2ogrCsvToDxf100k(benchmark::State& state) {
    const std::string input = PointsCsv(100000, true);
    const std::string output = bench::BenchFolder() + "/gdal.dxf";
    // GDAL's DXF writer will not replace a file.
    bench::RunEachIteration(state,
                            {"ogr2ogr", "-f", "DXF", output, input, "-oo", "X_POSSIBLE_NAMES=E",
                             "-oo", "Y_POSSIBLE_NAMES=N", "-oo", "Z_POSSIBLE_NAMES=Z"},
                            {output});
}
BENCHMARK(BM_Ogr2ogrCsvToDxf100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StadixConvertCsvToDxf1M(benchmark::State& state) {
    const std::string input = PointsCsv(1000000, false);
    const std::string output = bench::BenchFolder() + "/big.dxf";
    bench::RunEachIteration(
        state, {STADIX_CLI, "convert", "--from", "csv", "--to", "dxf", input, output}, {output});
}
BENCHMARK(BM_StadixConvertCsvToDxf1M)->Unit(benchmark::kMillisecond)->Iterations(2);

} // namespace
