#include "gis/GisFormats.h"

#include "base/TextFormat.h"
#include "job/RecordLine.h"

#include <algorithm>
#include <iterator>

namespace stadix {

namespace {

std::string JoinedLines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines)
        text += (text.empty() ? "" : "\n") + line;
    return text;
}

// What names a format: its word, its file type in a file dialog and its extension.
struct GisFormatNames {
    GisFormat format;
    std::string_view word;
    std::string_view fileType;
    std::string_view extension;
};

constexpr GisFormatNames kNames[] = {
    {GisFormat::GeoPackage, "gpkg", "GeoPackage (*.gpkg)", "gpkg"},
    {GisFormat::Shapefile, "shp", "ESRI Shapefile (*.shp)", "shp"},
    {GisFormat::GeoJson, "geojson", "GeoJSON (*.geojson)", "geojson"},
    {GisFormat::Kml, "kml", "KML (*.kml)", "kml"},
    {GisFormat::LandXml, "landxml", "LandXML 1.2 (*.xml)", "xml"},
};

const GisFormatNames& NamesOf(GisFormat format) {
    return *std::find_if(std::begin(kNames), std::end(kNames),
                         [format](const GisFormatNames& names) { return names.format == format; });
}

} // namespace

std::optional<GisFormat> FindGisFormat(std::string_view word) {
    for (const GisFormatNames& names : kNames) {
        if (names.word == word)
            return names.format;
    }
    return std::nullopt;
}

std::string_view GisFileTypeName(GisFormat format) {
    return NamesOf(format).fileType;
}

std::string_view GisFileExtension(GisFormat format) {
    return NamesOf(format).extension;
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
