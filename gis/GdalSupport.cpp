#include "gis/GdalSupport.h"

#include "gis/GisFormats.h"

#include <cmath>
#include <cpl_error.h>
#include <mutex>
#include <ogrsf_frmts.h>

namespace stadix {

namespace {

std::unique_ptr<OGRCoordinateTransformation> Between(const OGRSpatialReference& from,
                                                     const OGRSpatialReference& to) {
    std::unique_ptr<OGRCoordinateTransformation> transformation(
        OGRCreateCoordinateTransformation(&from, &to));
    if (!transformation)
        throw GisInputError(std::string("No transformation from ") + from.GetName() + " to " +
                            to.GetName() + ": " + GdalMessage("PROJ knows none."));
    return transformation;
}

} // namespace

void StartGdal() {
    static std::once_flag started;
    std::call_once(started, [] {
        CPLSetErrorHandler(CPLQuietErrorHandler);
        // The drivers of the formats only: all of GDAL's take time and memory to start.
        // LIBKML first: it opens a KML file before KML does, and reads its extended data.
        RegisterOGRGeoPackage();
        RegisterOGRShape();
        RegisterOGRGeoJSON();
        RegisterOGRLIBKML();
        RegisterOGRKML();
    });
}

std::string GdalMessage(const std::string& fallback) {
    const char* message = CPLGetLastErrorMsg();
    return message && *message ? std::string(message) : fallback;
}

const OGRSpatialReference& Wgs84() {
    static const OGRSpatialReference wgs84 = [] {
        OGRSpatialReference system;
        system.importFromEPSG(4326);
        system.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
        return system;
    }();
    return wgs84;
}

OGRSpatialReference InGisAxisOrder(const OGRSpatialReference& system) {
    OGRSpatialReference copy(system);
    copy.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    return copy;
}

PointTransformation PointTransformation::ToWgs84(const ReferenceSystem& job) {
    return PointTransformation(Between(job.Internals().srs, Wgs84()), nullptr, job);
}

PointTransformation PointTransformation::IntoJob(const OGRSpatialReference& file,
                                                 const ReferenceSystem& job) {
    return PointTransformation(Between(file, job.Internals().srs),
                               Between(job.Internals().srs, Wgs84()), job);
}

PointTransformation::PointTransformation(Transformation transformation, Transformation jobToWgs84,
                                         const ReferenceSystem& job)
    : transformation_(std::move(transformation)), jobToWgs84_(std::move(jobToWgs84)),
      outside_("outside the area of use of " + job.Name() + " (" + job.Code() + ")") {
    areaKnown_ = job.Internals().srs.GetAreaOfUse(&west_, &south_, &east_, &north_, nullptr);
}

std::vector<std::string> PointTransformation::Transform(std::vector<double>& x,
                                                        std::vector<double>& y,
                                                        std::vector<double>& z) {
    const int count = static_cast<int>(x.size());
    std::vector<int> done(x.size(), FALSE);
    transformation_->Transform(count, x.data(), y.data(), z.data(), done.data());
    // Where the job's points lie: the result of a transformation to WGS 84, else the
    // result transformed there.
    std::vector<double> longitude = x;
    std::vector<double> latitude = y;
    std::vector<double> height = z;
    std::vector<int> placed(x.size(), TRUE);
    if (jobToWgs84_)
        jobToWgs84_->Transform(count, longitude.data(), latitude.data(), height.data(),
                               placed.data());
    std::vector<std::string> refusals(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        if (!done[i] || !std::isfinite(x[i]) || !std::isfinite(y[i]))
            refusals[i] = "PROJ cannot transform it";
        else if (!placed[i] || !InArea(longitude[i], latitude[i]))
            refusals[i] = outside_;
    }
    return refusals;
}

bool PointTransformation::InArea(double longitude, double latitude) const {
    if (!areaKnown_)
        return true;
    if (latitude < south_ || latitude > north_)
        return false;
    // An area across the antimeridian has its west bound east of its east bound.
    return west_ <= east_ ? longitude >= west_ && longitude <= east_
                          : longitude >= west_ || longitude <= east_;
}

void PointRefusals::Refuse(const std::string& name, const std::string& reason) {
    if (++count_ <= kNamedAtMost)
        lines_.push_back("Point " + name + ": " + reason);
}

void PointRefusals::ThrowIfAny() const {
    if (count_ == 0)
        return;
    std::vector<std::string> lines = lines_;
    if (count_ > kNamedAtMost)
        lines.push_back("... and " + std::to_string(count_ - kNamedAtMost) + " more points");
    throw PointsRefused(lines);
}

bool IsUtf8(const std::string& text) {
    std::size_t i = 0;
    while (i < text.size()) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80                   ? 1
                                   : lead >= 0xC2 && lead < 0xE0 ? 2
                                   : lead >= 0xE0 && lead < 0xF0 ? 3
                                   : lead >= 0xF0 && lead < 0xF5 ? 4
                                                                 : 0;
        if (length == 0 || i + length > text.size())
            return false;
        for (std::size_t k = 1; k < length; ++k) {
            if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80)
                return false;
        }
        i += length;
    }
    return true;
}

} // namespace stadix
