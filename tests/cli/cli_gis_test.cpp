// stadix-cli's GIS formats: the reference system option, exit codes, round trips through
// export, convert and import, and outputs left whole.
#include "tests/support/CliFolderTest.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

using CliGisTest = stadix::test::CliFolderTest;

const std::string kJob = "P1       TREE     5820000.123  390000.456   34.500       \r\n"
                         "P2                5821000.500  391000.250   -1.250       \r\n";
const std::string kCsv = "P1,5820000.123,390000.456,34.5,TREE\nP2,5821000.5,391000.25,-1.25\n";

// The files of the folder, not counting the program's stdout.txt and stderr.txt.
std::size_t FolderSize(const fs::path& dir) {
    return static_cast<std::size_t>(
               std::distance(fs::directory_iterator(dir), fs::directory_iterator())) -
           2;
}

} // namespace

TEST_F(CliGisTest, UsageInputAndOutputFailuresWriteNothing) {
    Write("job.JCD", kJob);
    // FAR lies near 9°E, outside UTM zone 33N.
    Write("far.csv", "P1,5820000,390000,0\nFAR,5800000,100000,0\n");
    Write("wgs.geojson", R"({"type": "FeatureCollection", "features": [{"type": "Feature",
        "properties": {"name": "P1"}, "geometry": {"type": "Point", "coordinates": [13.4, 52.5]}}]})");
    fs::create_directory(dir / "folder.gpkg");
    struct Run {
        const char* arguments;
        int code;
        const char* told; // on standard error
    };
    const Run runs[] = {
        {"export --format geojson @job.JCD @a.geojson", 1, "--crs is required"},
        {"export --format gpkg --crs EPSG:4326 @job.JCD @a.gpkg", 1, "not a projected"},
        {"export --format gpkg --crs EPSG:1 @job.JCD @a.gpkg", 1, "Unknown reference system"},
        {"export --format pts --crs EPSG:25833 @job.JCD @a.pts", 1, "--crs is only for"},
        {"export --format shp @job.JCD -", 1, "set of files"},
        {"export --format gpkg @job.JCD /dev/null", 0, ""},
        {"import --format landxml @job.JCD @a.jcd", 1, "unknown format landxml"},
        {"convert --from csv --to kml --crs EPSG:25833 @far.csv @far.kml", 2,
         "Point FAR: outside the area of use of ETRS89 / UTM zone 33N (EPSG:25833)\n"
         "Nothing was written."},
        {"import --format geojson @wgs.geojson @a.jcd", 2, "Importing Error"},
        {"export --format gpkg @job.JCD @folder.gpkg", 3, "It is a folder"},
    };
    for (const Run& run : runs) {
        auto cli = Cli(run.arguments);
        EXPECT_EQ(cli->Wait(), run.code) << run.arguments << "\n" << cli->Err();
        EXPECT_NE(cli->Err().find(run.told), std::string::npos) << cli->Err();
    }
    EXPECT_EQ(FolderSize(dir), 4u);
    EXPECT_TRUE(fs::is_empty(dir / "folder.gpkg"));
}

TEST_F(CliGisTest, ConvertExportAndImportGiveTheSameRecordsBack) {
    Write("job.JCD", kJob);
    Write("in.csv", kCsv);
    const char* const runs[] = {
        "convert --from csv --to gpkg --crs EPSG:25833 @in.csv @c.gpkg",
        "import --format gpkg @c.gpkg @gpkg.JCD",
        "export --format shp --crs EPSG:25833 @job.JCD @e.shp",
        "import --format shp --crs EPSG:25833 @e.shp @shp.JCD",
        "convert --to kml --from csv --crs EPSG:25833 @in.csv @c.kml",
        "import --crs EPSG:25833 --format kml @c.kml @kml.JCD",
    };
    for (const char* arguments : runs) {
        auto cli = Cli(arguments);
        EXPECT_EQ(cli->Wait(), 0) << arguments << "\n" << cli->Err();
    }
    for (const char* job : {"gpkg.JCD", "shp.JCD", "kml.JCD"})
        EXPECT_EQ(Read(job), kJob) << job;

    auto landXml = Cli("export --format landxml --crs EPSG:25833 @job.JCD -");
    EXPECT_EQ(landXml->Wait(), 0);
    EXPECT_NE(landXml->Out().find(
                  R"(<CgPoint name="P1" code="TREE">5820000.123 390000.456 34.500</CgPoint>)"),
              std::string::npos);
    EXPECT_NE(landXml->Out().find(R"(epsgCode="25833")"), std::string::npos);

    Write("long.geojson", R"({"type": "FeatureCollection", "features": [{"type": "Feature",
        "properties": {"name": "BOUNDARY-STONE-7"},
        "geometry": {"type": "Point", "coordinates": [13.4, 52.52, 35.5]}}]})");
    auto cut = Cli("import --format geojson --crs EPSG:25833 @long.geojson @long.JCD");
    EXPECT_EQ(cut->Wait(), 0);
    EXPECT_EQ(cut->Err(), "Name cut to 8 characters: BOUNDARY-STONE-7 -> BOUNDARY\n");
    EXPECT_EQ(Read("long.JCD").substr(0, 9), "BOUNDARY ");
}

TEST_F(CliGisTest, AnOutputThatCannotBeWrittenLeavesTheOlderFileWhole) {
    std::string job;
    for (int i = 0; i < 400; ++i)
        job += "P" + std::to_string(i) + std::string(7 - std::to_string(i).size(), ' ') +
               "          5820000.000  390000.000   0.000        \r\n";
    Write("job.JCD", job);
    for (const char* format : {"gpkg", "kml", "landxml"}) {
        Write(std::string("old.") + format, "older");
        auto full = CliWithFileLimit(std::string("export --crs EPSG:25833 --format ") + format +
                                         " @job.JCD @old." + format,
                                     20000);
        EXPECT_EQ(full->Wait(), 3) << format << "\n" << full->Err();
        EXPECT_EQ(full->Err().rfind("Cannot export data to this file\n", 0), 0u) << full->Err();
        EXPECT_EQ(Read(std::string("old.") + format), "older");
    }
    EXPECT_EQ(FolderSize(dir), 4u);
}

// The GIS formats live in a module looked for in ../lib/stadix beside the program: a copy
// of the program elsewhere has none, says so for each GIS verb and keeps the others.
TEST_F(CliGisTest, WithoutItsModuleTheGisFormatsAreRefusedAndTheRestWorks) {
    Write("job.JCD", kJob);
    fs::create_directory(dir / "bin");
    fs::copy_file(STADIX_CLI, dir / "bin" / "stadix-cli");
    const auto run = [&](const std::string& arguments) {
        const int status = std::system(
            ((dir / "bin" / "stadix-cli").string() + " " + arguments + " 2>" + Path("err.txt"))
                .c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    };
    for (const std::string& verb :
         {"export --format gpkg --crs EPSG:25833 " + Path("job.JCD") + " " + Path("a.gpkg"),
          "import --format gpkg " + Path("job.JCD") + " " + Path("a.JCD")}) {
        EXPECT_EQ(run(verb), 3) << verb;
        EXPECT_NE(Read("err.txt").find("The GIS formats cannot be used"), std::string::npos)
            << Read("err.txt");
    }
    EXPECT_EQ(run("export --format pts " + Path("job.JCD") + " " + Path("a.pts")), 0);
    EXPECT_FALSE(fs::exists(dir / "a.gpkg") || fs::exists(dir / "a.JCD"));
}
