// stadix-cli convert into the GIS formats as a whole process: 100,000 points of CSV to
// GeoPackage and Shapefile against GDAL's ogr2ogr writing the same points, and the time
// and peak memory of 1,000,000 points to GeoPackage and GeoJSON.
#include "base/FileIO.h"
#include "bench/Process.h"

#include <filesystem>

#include <benchmark/benchmark.h>

namespace {

const char kSystem[] = "EPSG:25833";

// Points in UTM zone 33N as Import reads CSV (PT,N,E,Z,CODE), with a title row for GDAL
// when asked. Written a line at a time: a child process starts with the peak memory of
// this one, which must stay small for the child's peak to be its own.
std::string PointsCsv(int count, bool titled) {
    const std::string path =
        bench::BenchFolder() + "/gis" + std::to_string(count) + (titled ? "t" : "") + ".csv";
    if (std::filesystem::exists(path))
        return path;
    stadix::AtomicFileWriter file(path);
    if (titled)
        file.Write("PT,N,E,Z,CODE\n");
    for (int i = 0; i < count; ++i)
        file.Write("P" + std::to_string(i) + "," + std::to_string(5800000 + i % 50000) + ".125," +
                   std::to_string(390000 + i / 50000 * 10) + ".5,12.345,TREE\n");
    file.Commit();
    return path;
}

// The output and, for a Shapefile, the files beside it: removed before each run, as
// ogr2ogr will not replace them.
std::vector<std::string> OutputFiles(const std::string& output) {
    const std::string stem = std::filesystem::path(output).replace_extension().string();
    return {output, stem + ".shx", stem + ".dbf", stem + ".prj", stem + ".cpg"};
}

void StadixConvert(benchmark::State& state, int count, const std::string& format) {
    const std::string input = PointsCsv(count, false);
    const std::string output = bench::BenchFolder() + "/stadix." + format;
    bench::RunEachIteration(
        state,
        {STADIX_CLI, "convert", "--from", "csv", "--to", format, "--crs", kSystem, input, output},
        OutputFiles(output));
}

void Ogr2ogr(benchmark::State& state, const std::string& driver, const std::string& extension) {
    const std::string input = PointsCsv(100000, true);
    const std::string output = bench::BenchFolder() + "/gdal." + extension;
    bench::RunEachIteration(state,
                            {"ogr2ogr", "-f", driver, output, input, "-a_srs", kSystem, "-oo",
                             "X_POSSIBLE_NAMES=E", "-oo", "Y_POSSIBLE_NAMES=N", "-oo",
                             "Z_POSSIBLE_NAMES=Z"},
                            OutputFiles(output));
}

void BM_StadixConvertCsvToGpkg100k(benchmark::State& state) {
    StadixConvert(state, 100000, "gpkg");
}
BENCHMARK(BM_StadixConvertCsvToGpkg100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Ogr2ogrCsvToGpkg100k(benchmark::State& state) {
    Ogr2ogr(state, "GPKG", "gpkg");
}
BENCHMARK(BM_Ogr2ogrCsvToGpkg100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StadixConvertCsvToShp100k(benchmark::State& state) {
    StadixConvert(state, 100000, "shp");
}
BENCHMARK(BM_StadixConvertCsvToShp100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Ogr2ogrCsvToShp100k(benchmark::State& state) {
    Ogr2ogr(state, "ESRI Shapefile", "shp");
}
BENCHMARK(BM_Ogr2ogrCsvToShp100k)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_StadixConvertCsvToGpkg1M(benchmark::State& state) {
    StadixConvert(state, 1000000, "gpkg");
}
BENCHMARK(BM_StadixConvertCsvToGpkg1M)->Unit(benchmark::kMillisecond)->Iterations(1);

void BM_StadixConvertCsvToGeoJson1M(benchmark::State& state) {
    StadixConvert(state, 1000000, "geojson");
}
BENCHMARK(BM_StadixConvertCsvToGeoJson1M)->Unit(benchmark::kMillisecond)->Iterations(1);

} // namespace
