#include "gis/GisFormats.h"

#include "base/TextFormat.h"
#include "job/RecordLine.h"

namespace stadix {

namespace {

std::string JoinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

} // namespace

std::optional<GisFormat> FindGisFormat(std::string_view word) {
    if (word == "gpkg")
        return GisFormat::GeoPackage;
    if (word == "shp")
        return GisFormat::Shapefile;
    if (word == "geojson")
        return GisFormat::GeoJson;
    if (word == "kml")
        return GisFormat::Kml;
    if (word == "landxml")
        return GisFormat::LandXml;
    return std::nullopt;
}

std::string_view GisFileTypeName(GisFormat format) {
    switch (format) {
    case GisFormat::GeoPackage:
        return "GeoPackage (*.gpkg)";
    case GisFormat::Shapefile:
        return "ESRI Shapefile (*.shp)";
    case GisFormat::GeoJson:
        return "GeoJSON (*.geojson)";
    case GisFormat::Kml:
        return "KML (*.kml)";
    case GisFormat::LandXml:
        break;
    }
    return "LandXML 1.2 (*.xml)";
}

std::string_view GisFileExtension(GisFormat format) {
    switch (format) {
    case GisFormat::GeoPackage:
        return "gpkg";
    case GisFormat::Shapefile:
        return "shp";
    case GisFormat::GeoJson:
        return "geojson";
    case GisFormat::Kml:
        return "kml";
    case GisFormat::LandXml:
        break;
    }
    return "xml";
}

bool HoldsWgs84(GisFormat format) {
    return format == GisFormat::GeoJson || format == GisFormat::Kml;
}

bool CanImport(GisFormat format) {
    return format != GisFormat::LandXml;
}

PointsRefused::PointsRefused(const std::vector<std::string>& lines)
    : std::runtime_error(JoinedLines(lines)) {}

GisPoint GisPointOfRecordLine(const std::string& recordLine) {
    return {RecordLinePt(recordLine), RecordLineCode(recordLine),
            ParseStrictNumber(RecordLineN(recordLine)), ParseStrictNumber(RecordLineE(recordLine)),
            ParseStrictNumber(RecordLineZ(recordLine))};
}

} // namespace stadix
