#include "gis/PointImport.h"

#include "base/Errors.h"
#include "base/TextFormat.h"
#include "gis/GdalSupport.h"
#include "job/RecordLine.h"

#include <gdal_priv.h>
#include <ogrsf_frmts.h>

namespace stadix {

namespace {

constexpr std::size_t kRecordTextLength = 8;

struct CloseDataset {
    void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};
using Dataset = std::unique_ptr<GDALDataset, CloseDataset>;

Dataset OpenForReading(const std::string& path, GisFormat format) {
    const char* const geoPackage[] = {"GPKG", nullptr};
    const char* const shapefile[] = {"ESRI Shapefile", nullptr};
    const char* const geoJson[] = {"GeoJSON", nullptr};
    const char* const kml[] = {"LIBKML", "KML", nullptr};
    const char* const* drivers = format == GisFormat::GeoPackage  ? geoPackage
                                 : format == GisFormat::Shapefile ? shapefile
                                 : format == GisFormat::GeoJson   ? geoJson
                                                                  : kml;
    CPLErrorReset();
    Dataset dataset(GDALDataset::Open(path.c_str(), GDAL_OF_VECTOR | GDAL_OF_READONLY, drivers,
                                      nullptr, nullptr));
    if (!dataset)
        throw GisInputError("Cannot read \"" + path + "\" as a " + drivers[0] + " file. " +
                            GdalMessage(""));
    return dataset;
}

// The first layer of points; a layer of mixed geometries (KML's) counts, and its points
// are taken.
OGRLayer& FirstPointLayer(GDALDataset& dataset, const std::string& path) {
    for (OGRLayer* layer : dataset.GetLayers()) {
        const OGRwkbGeometryType type = wkbFlatten(layer->GetGeomType());
        if (type == wkbPoint || type == wkbUnknown)
            return *layer;
    }
    throw GisInputError("\"" + path + "\" holds no layer of points.");
}

// The transformation into the job's system; none when the points are taken as they are.
std::optional<PointTransformation> TransformationInto(const OGRSpatialReference* file,
                                                      const std::optional<ReferenceSystem>& system,
                                                      GisImport& result) {
    if (!file) {
        result.takenAsTheyAre = system.has_value();
        return std::nullopt;
    }
    if (!system) {
        if (!file->IsProjected())
            throw GisInputError(std::string("The points are in ") + file->GetName() +
                                ", not in a projected reference system: name the one to "
                                "transform them into.");
        return std::nullopt;
    }
    const OGRSpatialReference from = InGisAxisOrder(*file);
    if (from.IsSame(&system->Internals().srs))
        return std::nullopt;
    return PointTransformation::IntoJob(from, *system);
}

std::string TextField(const OGRFeature& feature, const char* name) {
    const int index = feature.GetFieldIndex(name);
    return index >= 0 && feature.IsFieldSetAndNotNull(index) ? Trim(feature.GetFieldAsString(index))
                                                             : std::string();
}

std::string NameOf(const OGRFeature& feature) {
    const std::string name = TextField(feature, "name");
    return name.empty() ? std::to_string(feature.GetFID()) : name;
}

// The first 8 bytes of the text, not splitting a UTF-8 character.
std::string CutToRecordText(const std::string& text) {
    if (text.size() <= kRecordTextLength)
        return text;
    std::size_t length = kRecordTextLength;
    while (length > 0 && (static_cast<unsigned char>(text[length]) & 0xC0) == 0x80)
        --length;
    return text.substr(0, length);
}

} // namespace

GisImport ImportGisPoints(const std::string& path, GisFormat format,
                          const std::optional<ReferenceSystem>& system) {
    StartGdal();
    const Dataset dataset = OpenForReading(path, format);
    OGRLayer& layer = FirstPointLayer(*dataset, path);
    GisImport result;
    std::optional<PointTransformation> transformation =
        TransformationInto(layer.GetSpatialRef(), system, result);
    std::vector<std::string> names, codes;
    std::vector<double> x, y, z;
    CPLErrorReset();
    for (const auto& feature : layer) {
        const OGRGeometry* geometry = feature->GetGeometryRef();
        if (!geometry || wkbFlatten(geometry->getGeometryType()) != wkbPoint ||
            geometry->IsEmpty()) {
            ++result.featuresLeftOut;
            continue;
        }
        const OGRPoint& point = *geometry->toPoint();
        names.push_back(NameOf(*feature));
        codes.push_back(TextField(*feature, "code"));
        x.push_back(point.getX());
        y.push_back(point.getY());
        z.push_back(point.getZ());
    }
    if (CPLGetLastErrorType() == CE_Failure)
        throw GisInputError("Cannot read \"" + path + "\". " + GdalMessage(""));
    std::vector<std::string> refused(names.size());
    if (transformation && !names.empty())
        refused = transformation->Transform(x, y, z);
    PointRefusals refusals;
    for (std::size_t i = 0; i < names.size(); ++i) {
        if (!refused[i].empty()) {
            refusals.Refuse(names[i], refused[i]);
            continue;
        }
        const CutText name{names[i], CutToRecordText(names[i])};
        const CutText code{codes[i], CutToRecordText(codes[i])};
        try {
            result.recordLines.push_back(
                MakeRecordLineFromValues(name.cut, code.cut, y[i], x[i], z[i]));
        } catch (const ConversionError&) {
            refusals.Refuse(names[i], "a coordinate does not fit a record line");
            continue;
        }
        if (name.cut != name.text)
            result.cutNames.push_back(name);
        if (code.cut != code.text)
            result.cutCodes.push_back(code);
    }
    refusals.ThrowIfAny();
    return result;
}

} // namespace stadix
