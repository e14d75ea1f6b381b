// Points written by gis/ and read back by programs outside the project.
#include "base/Errors.h"
#include "base/FileIO.h"
#include "gis/PointWriters.h"
#include "tests/gis/IndependentReaders.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <map>

namespace {

namespace fs = std::filesystem;
using stadix::GisFormat;
using stadix::GisPoint;
using GisFilesTest = stadix::test::TempFolderTest;

void WritePoints(GisFormat format, const std::string& path, const std::string& system,
                 const std::vector<GisPoint>& points) {
    std::optional<stadix::ReferenceSystem> referenceSystem;
    if (!system.empty())
        referenceSystem.emplace(system);
    const auto writer = stadix::OpenGisPointWriter(format, path, referenceSystem);
    for (const GisPoint& point : points)
        writer->Add(point);
    writer->Commit();
}

// Every name in the folder, hidden ones too, with its bytes ("folder" for a folder).
std::map<std::string, std::string> FolderContents(const fs::path& dir) {
    std::map<std::string, std::string> contents;
    for (const fs::directory_entry& entry : fs::directory_iterator(dir))
        contents[entry.path().filename().string()] =
            entry.is_directory() ? "folder" : stadix::ReadFileBytes(entry.path().string());
    return contents;
}

} // namespace

TEST_F(GisFilesTest, EachFormatIsReadBackWithNamesCodesCoordinatesAndSystem) {
    struct Case {
        GisFormat format;
        const char* file;
        std::string system;
        const char* epsg; // as the file tells it
    };
    // EPSG:31468 has the northing first: x must still be the easting. Without a system,
    // a file names none.
    const Case cases[] = {
        {GisFormat::GeoPackage, "p.gpkg", "EPSG:25833", "25833"},
        {GisFormat::Shapefile, "p.shp", "EPSG:31468", "31468"},
        {GisFormat::Shapefile, "none.shp", "", ""},
        {GisFormat::GeoJson, "p.geojson", "EPSG:31468", "4979"}, // WGS 84 with heights
        {GisFormat::Kml, "p.kml", "EPSG:25833", "4326"},
        {GisFormat::LandXml, "p.xml", "EPSG:25833", "25833"},
        {GisFormat::LandXml, "none.xml", "", ""},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.file);
        const double east = test.system == "EPSG:31468" ? 4590000.456 : 390000.456;
        const std::vector<GisPoint> points = {{"P1", "TREE", 5820000.123, east, 34.5},
                                              {"P2", "", 5821000.5, east + 1000.25, -1.25}};
        WritePoints(test.format, Path(test.file), test.system, points);
        const bool landXml = test.format == GisFormat::LandXml;
        const bool wgs84 = stadix::HoldsWgs84(test.format);
        const std::vector<stadix::test::ReadPoint> read =
            landXml ? stadix::test::PointsReadFromLandXml(Path(test.file))
                    : stadix::test::PointsReadByGdal(Path(test.file));
        ASSERT_EQ(read.size(), points.size());
        if (test.format == GisFormat::Shapefile) {
            // The dBASE file ends with its end mark, once.
            const std::string dbf = stadix::ReadFileBytes(
                Path(std::string(test.file).substr(0, std::strlen(test.file) - 4) + ".dbf"));
            EXPECT_EQ(dbf.substr(dbf.size() - 2), " \x1A");
        }
        for (std::size_t i = 0; i < points.size(); ++i) {
            EXPECT_EQ(read[i].name, points[i].name);
            EXPECT_EQ(read[i].code, points[i].code);
            const auto [x, y] =
                wgs84 ? stadix::test::TransformedByPyproj(test.system, "EPSG:4326",
                                                          points[i].easting, points[i].northing)
                      : std::make_pair(points[i].easting, points[i].northing);
            EXPECT_NEAR(read[i].x, x, wgs84 ? 1e-8 : 1e-6);
            EXPECT_NEAR(read[i].y, y, wgs84 ? 1e-8 : 1e-6);
            EXPECT_NEAR(read[i].z, points[i].height, 1e-6);
        }
        EXPECT_EQ(stadix::test::EpsgCodeOf(Path(test.file), landXml), test.epsg);
    }
    const std::map<std::string, std::string> folder = FolderContents(dir);
    for (const char* file : {"p.shx", "p.dbf", "p.prj", "none.shx", "none.dbf"})
        EXPECT_EQ(folder.count(file), 1u) << file;
    EXPECT_EQ(folder.at("p.cpg"), "UTF-8");
    EXPECT_EQ(folder.count("none.prj"), 0u);
}

TEST_F(GisFilesTest, PointsOutsideTheAreaOfUseOrNotInUtf8AreNamedAndNothingIsWritten) {
    // FAR lies near 9°E, west of the 12°E to 18°E of UTM zone 33N; the last name is in
    // GB18030, the instrument's code page.
    const std::vector<GisPoint> points = {{"P1", "", 5820000, 390000, 0},
                                          {"FAR", "", 5800000, 100000, 0},
                                          {"P3", "", 5821000, 391000, 0},
                                          {"\xB2\xE2", "", 5821000, 391000, 0}};
    for (const GisFormat format : {GisFormat::GeoJson, GisFormat::Kml}) {
        try {
            WritePoints(format, Path("out"), "EPSG:25833", points);
            ADD_FAILURE() << "written";
        } catch (const stadix::PointsRefused& refused) {
            const std::string message = refused.what();
            EXPECT_NE(message.find("Point FAR: outside the area of use"), std::string::npos);
            EXPECT_NE(message.find("Point \xB2\xE2: its name or code is not UTF-8 text"),
                      std::string::npos);
            EXPECT_EQ(message.find("P1"), std::string::npos);
            EXPECT_EQ(message.find("P3"), std::string::npos);
        }
        EXPECT_TRUE(fs::is_empty(dir));
    }
}

TEST_F(GisFilesTest, AShapefileSetIsReplacedWholeOrNotAtAll) {
    const std::vector<GisPoint> older = {{"OLD", "", 5820000, 390000, 0}};
    const std::vector<GisPoint> newer = {{"P1", "", 5820000, 390000, 1}, {"P2", "", 5820001, 1, 2}};
    WritePoints(GisFormat::Shapefile, Path("site.shp"), "", older);
    const std::map<std::string, std::string> olderSet = FolderContents(dir);
    ASSERT_EQ(olderSet.size(), 4u); // .shp, .shx, .dbf, .cpg

    // A folder where the new .shx would go: the new .cpg, .dbf, .prj and .shp are moved
    // in before that rename fails; the .prj, which the older set lacks, must go again.
    fs::remove(dir / "site.shx");
    fs::create_directory(dir / "site.shx");
    const std::map<std::string, std::string> blocked = FolderContents(dir);
    EXPECT_THROW(WritePoints(GisFormat::Shapefile, Path("site.shp"), "EPSG:25833", newer),
                 stadix::FileError);
    EXPECT_EQ(FolderContents(dir), blocked);
    fs::remove(dir / "site.shx");

    WritePoints(GisFormat::Shapefile, Path("site.shp"), "EPSG:25833", newer);
    EXPECT_EQ(FolderContents(dir).size(), 5u);
    EXPECT_EQ(stadix::test::PointsReadByGdal(Path("site.shp")).size(), 2u);
    // A set written without a system leaves no .prj of the older one behind.
    WritePoints(GisFormat::Shapefile, Path("site.shp"), "", older);
    EXPECT_EQ(FolderContents(dir), olderSet);
}
