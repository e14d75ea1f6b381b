// The GIS and design formats that points are exchanged in, the point as they hold it,
// and how an exchange fails.
#pragma once

#include <array>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace stadix {

enum class GisFormat { GeoPackage, Shapefile, GeoJson, Kml, LandXml };

// The format of that word ("gpkg", "shp", "geojson", "kml", "landxml"); none for another.
std::optional<GisFormat> FindGisFormat(std::string_view word);

// The formats in the order of the window's file types.
inline constexpr std::array<GisFormat, 5> kGisFormats = {GisFormat::GeoPackage,
                                                         GisFormat::Shapefile, GisFormat::GeoJson,
                                                         GisFormat::Kml, GisFormat::LandXml};

// The format's file type in a file dialog, "GeoPackage (*.gpkg)", and its extension
// without dot, "gpkg".
std::string_view GisFileTypeName(GisFormat format);
std::string_view GisFileExtension(GisFormat format);

// GeoJSON and KML hold longitude and latitude on WGS 84: the points' reference system
// must be known to write them.
bool HoldsWgs84(GisFormat format);

// LandXML is written, not read.
bool CanImport(GisFormat format);

// A point as the formats hold it: northing and easting in the job's reference system
// (GIS x is the easting), names and codes in UTF-8.
struct GisPoint {
    std::string name;
    std::string code;
    double northing = 0;
    double easting = 0;
    double height = 0;
};

// The point of a record line of a job.
GisPoint GisPointOfRecordLine(const std::string& recordLine);

// Points that cannot be exchanged (a transformation that cannot be done, a name that is
// not UTF-8 text), each named with the reason on a line of its own. Nothing was written.
class PointsRefused : public std::runtime_error {
  public:
    explicit PointsRefused(const std::vector<std::string>& lines);
};

// An input that holds no points the job can take (no point layer, longitude and latitude
// with no reference system to put them into).
class GisInputError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace stadix
