// Points of GIS files taken into a job: files written by hand, and each format written
// by gis/ and taken back.
#include "base/FileIO.h"
#include "gis/PointImport.h"
#include "gis/PointWriters.h"
#include "job/RecordLine.h"
#include "tests/gis/IndependentReaders.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace {

using stadix::GisFormat;
using GisImportTest = stadix::test::TempFolderTest;

// BOUNDARY-STONE-7 at 13.4°E 52.52°N, a point without a name (id 7), a line, and
// WEST near 5°E, outside UTM zone 33N.
const std::string kGeoJson = R"({"type": "FeatureCollection", "features": [
{"type": "Feature", "properties": {"name": "BOUNDARY-STONE-7", "code": "MONUMENT-A"},
 "geometry": {"type": "Point", "coordinates": [13.4, 52.52, 35.5]}},
{"type": "Feature", "id": 7, "properties": {"code": "TREE"},
 "geometry": {"type": "Point", "coordinates": [13.41, 52.53]}},
{"type": "Feature", "properties": {"name": "EDGE"},
 "geometry": {"type": "LineString", "coordinates": [[13.4, 52.52], [13.5, 52.6]]}}
]})";
const std::string kKml = R"(<?xml version="1.0" encoding="UTF-8"?>
<kml xmlns="http://www.opengis.net/kml/2.2"><Document>
<Placemark><name>BOUNDARY-STONE-7</name>
<ExtendedData><Data name="code"><value>MONUMENT-A</value></Data></ExtendedData>
<Point><coordinates>13.4,52.52,35.5</coordinates></Point></Placemark>
<Placemark><name>WEST</name><Point><coordinates>5.0,52.0,0</coordinates></Point></Placemark>
</Document></kml>)";

stadix::GisImport Import(const std::string& path, GisFormat format, const std::string& system) {
    std::optional<stadix::ReferenceSystem> referenceSystem;
    if (!system.empty())
        referenceSystem.emplace(system);
    return stadix::ImportGisPoints(path, format, referenceSystem);
}

} // namespace

TEST_F(GisImportTest, TakesThePointsTransformedNamesCutAndTold) {
    stadix::WriteFileAtomically(Path("in.geojson"), kGeoJson);
    const stadix::GisImport imported = Import(Path("in.geojson"), GisFormat::GeoJson, "EPSG:25833");
    ASSERT_EQ(imported.recordLines.size(), 2u);
    const std::string& stone = imported.recordLines[0];
    EXPECT_EQ(stadix::RecordLinePt(stone), "BOUNDARY");
    EXPECT_EQ(stadix::RecordLineCode(stone), "MONUMENT");
    EXPECT_EQ(stadix::RecordLineZ(stone), "35.500");
    const auto [east, north] =
        stadix::test::TransformedByPyproj("EPSG:4326", "EPSG:25833", 13.4, 52.52);
    EXPECT_NEAR(std::stod(stadix::RecordLineE(stone)), east, 0.0005);
    EXPECT_NEAR(std::stod(stadix::RecordLineN(stone)), north, 0.0005);
    EXPECT_EQ(stadix::RecordLinePt(imported.recordLines[1]), "7");
    ASSERT_EQ(imported.cutNames.size(), 1u);
    EXPECT_EQ(imported.cutNames[0].text, "BOUNDARY-STONE-7");
    ASSERT_EQ(imported.cutCodes.size(), 1u);
    EXPECT_EQ(imported.featuresLeftOut, 1u);

    // Longitudes and latitudes cannot go into a job as they are.
    EXPECT_THROW(Import(Path("in.geojson"), GisFormat::GeoJson, ""), stadix::GisInputError);

    stadix::WriteFileAtomically(Path("in.kml"), kKml);
    try {
        Import(Path("in.kml"), GisFormat::Kml, "EPSG:25833");
        ADD_FAILURE() << "imported";
    } catch (const stadix::PointsRefused& refused) {
        EXPECT_NE(std::string(refused.what()).find("Point WEST: outside the area of use"),
                  std::string::npos);
        EXPECT_EQ(std::string(refused.what()).find("BOUNDARY"), std::string::npos);
    }
}

TEST_F(GisImportTest, EachFormatWrittenThenTakenBackGivesTheSameRecords) {
    const std::vector<std::string> job = {
        "P1       TREE     5820000.123  390000.456   34.500       ",
        "P2                5821000.500  391000.250   -1.250       ",
    };
    const std::pair<GisFormat, const char*> formats[] = {{GisFormat::GeoPackage, "r.gpkg"},
                                                         {GisFormat::Shapefile, "r.shp"},
                                                         {GisFormat::GeoJson, "r.geojson"},
                                                         {GisFormat::Kml, "r.kml"}};
    const stadix::ReferenceSystem system("EPSG:25833");
    for (const auto& [format, file] : formats) {
        SCOPED_TRACE(file);
        const auto writer = stadix::OpenGisPointWriter(format, Path(file), system);
        for (const std::string& line : job)
            writer->Add(stadix::GisPointOfRecordLine(line));
        writer->Commit();
        EXPECT_EQ(Import(Path(file), format, "EPSG:25833").recordLines, job);
    }
}
