#include "gis/PointWriters.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/TextFormat.h"
#include "gis/GdalSupport.h"
#include "gis/LandXmlWriter.h"
#include "gis/StagingFolder.h"
#include "job/RecordLine.h"

#include <cpl_string.h>
#include <gdal_priv.h>
#include <ogrsf_frmts.h>

namespace stadix {

namespace {

// How GDAL writes a format: its driver and the options that make the file what the
// format's readers expect.
struct OgrOutput {
    const char* driver;
    std::vector<const char*> datasetOptions;
    std::vector<const char*> layerOptions;
};

OgrOutput OgrOutputOf(GisFormat format) {
    switch (format) {
    case GisFormat::GeoPackage:
        return {"GPKG", {}, {"GEOMETRY_NAME=geom", "FID=fid"}};
    case GisFormat::Shapefile:
        return {"ESRI Shapefile", {}, {"ENCODING=UTF-8"}}; // ENCODING writes the .cpg
    case GisFormat::GeoJson:
        return {"GeoJSON", {}, {"RFC7946=YES", "COORDINATE_PRECISION=9"}};
    case GisFormat::Kml:
        return {"KML", {}, {}};
    case GisFormat::LandXml:
        break;
    }
    throw std::logic_error("LandXML has no GDAL driver");
}

// The files of a Shapefile that belong to one set: those written, and the indexes that
// other programs add, which an older set leaves stale.
const std::vector<std::string> kShapefileSet = {".shp", ".shx", ".dbf", ".prj",
                                                ".cpg", ".qix", ".sbn", ".sbx"};

// Features go into a GeoPackage in transactions of this many: one each would take a
// write to disk per point.
constexpr std::size_t kTransactionSize = 100000;

CPLStringList Options(const std::vector<const char*>& options) {
    CPLStringList list;
    for (const char* option : options)
        list.AddString(option);
    return list;
}

struct CloseDataset {
    void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};

class OgrPointWriter final : public GisPointWriter {
  public:
    OgrPointWriter(GisFormat format, const std::string& path,
                   const std::optional<ReferenceSystem>& system)
        : format_(format), staging_(path), failure_("Cannot write \"" + path + "\". ") {
        StartGdal();
        CPLErrorReset();
        if (HoldsWgs84(format))
            toWgs84_.emplace(PointTransformation::ToWgs84(system.value()));
        const OgrOutput output = OgrOutputOf(format);
        GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(output.driver);
        if (driver)
            dataset_.reset(driver->Create(staging_.StagedPath().c_str(), 0, 0, 0, GDT_Unknown,
                                          Options(output.datasetOptions).List()));
        if (!dataset_)
            Fail();
        // A copy: GDAL takes a system it may change (it keeps its own clone).
        std::optional<OGRSpatialReference> layerSystem;
        if (toWgs84_)
            layerSystem = Wgs84();
        else if (system)
            layerSystem = system->Internals().srs;
        layer_ = dataset_->CreateLayer("points", layerSystem ? &*layerSystem : nullptr, wkbPoint25D,
                                       Options(output.layerOptions).List());
        if (!layer_)
            Fail();
        nameField_ = TextField("name");
        codeField_ = TextField("code");
        feature_ = std::make_unique<OGRFeature>(layer_->GetLayerDefn());
        transactions_ = dataset_->TestCapability(ODsCTransactions);
        if (transactions_ && dataset_->StartTransaction() != OGRERR_NONE)
            Fail();
    }

    void Add(const GisPoint& point) override {
        if (!IsUtf8(point.name) || !IsUtf8(point.code)) {
            refusals_.Refuse(point.name, "its name or code is not UTF-8 text");
            return;
        }
        double x = point.easting;
        double y = point.northing;
        double z = point.height;
        if (toWgs84_) {
            const std::string refusal = toWgs84_->Transform(x, y, z);
            if (!refusal.empty())
                refusals_.Refuse(point.name, refusal);
        }
        if (refusals_.Any())
            return; // the file will not be kept
        Write(point, x, y, z);
    }

    void Commit() override {
        refusals_.ThrowIfAny();
        CPLErrorReset();
        if (transactions_ && dataset_->CommitTransaction() != OGRERR_NONE)
            Fail();
        dataset_.reset(); // closed: the file is complete
        if (CPLGetLastErrorType() == CE_Failure || CPLGetLastErrorType() == CE_Fatal)
            Fail();
        staging_.MoveIntoPlace(format_ == GisFormat::Shapefile ? kShapefileSet
                                                               : std::vector<std::string>());
    }

  private:
    // The index of the text field of that name, made unless the layer has it already
    // (KML's has Name and Description from the start).
    int TextField(const char* name) {
        if (layer_->GetLayerDefn()->GetFieldIndex(name) < 0) {
            OGRFieldDefn field(name, OFTString);
            field.SetWidth(32);
            if (layer_->CreateField(&field) != OGRERR_NONE)
                Fail();
        }
        return layer_->GetLayerDefn()->GetFieldIndex(name);
    }

    void Write(const GisPoint& point, double x, double y, double z) {
        feature_->SetFID(OGRNullFID);
        feature_->SetField(nameField_, point.name.c_str());
        feature_->SetField(codeField_, point.code.c_str());
        OGRPoint geometry(x, y, z);
        feature_->SetGeometry(&geometry);
        if (layer_->CreateFeature(feature_.get()) != OGRERR_NONE)
            Fail();
        if (transactions_ && ++inTransaction_ == kTransactionSize) {
            inTransaction_ = 0;
            if (dataset_->CommitTransaction() != OGRERR_NONE ||
                dataset_->StartTransaction() != OGRERR_NONE)
                Fail();
        }
    }

    [[noreturn]] void Fail() const {
        throw FileError(failure_ + GdalMessage("GDAL gave no reason."));
    }

    GisFormat format_;
    StagingFolder staging_; // declared before the dataset, which is closed before it goes
    std::string failure_;
    std::optional<PointTransformation> toWgs84_;
    std::unique_ptr<GDALDataset, CloseDataset> dataset_;
    OGRLayer* layer_ = nullptr; // the dataset's
    int nameField_ = -1;
    int codeField_ = -1;
    std::unique_ptr<OGRFeature> feature_;
    bool transactions_ = false;
    std::size_t inTransaction_ = 0;
    PointRefusals refusals_;
};

} // namespace

std::unique_ptr<GisPointWriter> OpenGisPointWriter(GisFormat format, const std::string& path,
                                                   const std::optional<ReferenceSystem>& system) {
    if (HoldsWgs84(format) && !system)
        throw std::invalid_argument("GeoJSON and KML need the points' reference system");
    if (format == GisFormat::LandXml)
        return OpenLandXmlWriter(path, system);
    if (format == GisFormat::Shapefile && !HasExtension(path, ".SHP"))
        throw FileError("Cannot create file \"" + path +
                        "\". A Shapefile is named by its .shp file.");
    return std::make_unique<OgrPointWriter>(format, path, system);
}

GisPoint GisPointOfRecordLine(const std::string& recordLine) {
    return {RecordLinePt(recordLine), RecordLineCode(recordLine),
            ParseStrictNumber(RecordLineN(recordLine)), ParseStrictNumber(RecordLineE(recordLine)),
            ParseStrictNumber(RecordLineZ(recordLine))};
}

} // namespace stadix
