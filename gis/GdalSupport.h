// GDAL/OGR and PROJ behind the API of gis/: started once, their reference systems in GIS
// axis order, the transformation of points, and the points refused. Only gis/ includes
// this header; nothing above it sees a GDAL type.
#pragma once

#include "gis/ReferenceSystem.h"

#include <memory>
#include <ogr_spatialref.h>
#include <string>
#include <vector>

namespace stadix {

struct ReferenceSystem::Held {
    OGRSpatialReference srs; // x is the easting, y the northing
};

// Registers GDAL's drivers, once; GDAL's messages are kept for the errors that report
// them, never printed.
void StartGdal();

// GDAL's last error message, or fallback when it gave none.
std::string GdalMessage(const std::string& fallback);

// WGS 84, x the longitude and y the latitude.
const OGRSpatialReference& Wgs84();

// A copy of the system whose x is the easting (or longitude) and y the northing (or
// latitude), whatever the authority's axis order.
OGRSpatialReference InGisAxisOrder(const OGRSpatialReference& system);

// The transformation of points between two reference systems, in GIS axis order. A
// point whose place lies outside the area of use of the job's system is refused, as is
// one that PROJ cannot transform.
class PointTransformation {
  public:
    // From the job's system to WGS 84.
    static PointTransformation ToWgs84(const ReferenceSystem& job);
    // From a file's system into the job's.
    static PointTransformation IntoJob(const OGRSpatialReference& file, const ReferenceSystem& job);

    // Transforms the points in place, all in one call (a call to PROJ costs more than a
    // point); returns for each why it cannot be transformed, empty when it was.
    std::vector<std::string> Transform(std::vector<double>& x, std::vector<double>& y,
                                       std::vector<double>& z);

  private:
    using Transformation = std::unique_ptr<OGRCoordinateTransformation>;
    PointTransformation(Transformation transformation, Transformation jobToWgs84,
                        const ReferenceSystem& job);
    bool InArea(double longitude, double latitude) const;

    Transformation transformation_;
    Transformation jobToWgs84_; // where a job's point lies; none when transformation_ tells
    bool areaKnown_ = false;
    double west_ = 0, south_ = 0, east_ = 0, north_ = 0;
    std::string outside_; // why a point outside the area is refused
};

// The points refused by an export or import, each named with the reason; told together
// at the end.
class PointRefusals {
  public:
    void Refuse(const std::string& name, const std::string& reason);
    bool Any() const { return count_ > 0; }
    // Throws PointsRefused when a point was refused.
    void ThrowIfAny() const;

  private:
    static constexpr std::size_t kNamedAtMost = 20;
    std::vector<std::string> lines_;
    std::size_t count_ = 0;
};

// Whether the text is well-formed UTF-8.
bool IsUtf8(const std::string& text);

} // namespace stadix
