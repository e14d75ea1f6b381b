#include "gis/PointWriters.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "gis/GdalSupport.h"
#include "gis/LandXmlWriter.h"
#include "gis/StagingFolder.h"

#include <cerrno>
#include <cpl_string.h>
#include <cpl_vsi.h>
#include <cstdio>
#include <cstring>
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
        // No spatial index: building SQLite's R*Tree takes most of the time of a write,
        // and a GIS makes one when it needs it.
        return {"GPKG", {}, {"GEOMETRY_NAME=geom", "FID=fid", "SPATIAL_INDEX=NO"}};
    case GisFormat::Shapefile:
        // ENCODING writes the .cpg. The dBASE file's end mark is written once, at the end
        // (EndDbfFile): GDAL writing it after each record costs four system calls a point.
        return {"ESRI Shapefile", {}, {"ENCODING=UTF-8", "DBF_EOF_CHAR=NO"}};
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

// Points are transformed this many at a time.
constexpr std::size_t kBatchSize = 1024;

// Features go into a GeoPackage in transactions of this many: one each would take a
// write to disk per point.
constexpr std::size_t kTransactionSize = 100000;

CPLStringList Options(const std::vector<const char*>& options) {
    CPLStringList list;
    for (const char* option : options)
        list.AddString(option);
    return list;
}

// GeoJSON and KML are written by GDAL as a stream, to /vsistdout/, which is sent here:
// their writers do not tell a write that failed (a full disk), this file does.
class StreamedFile {
  public:
    explicit StreamedFile(const std::string& path) : file_(path) {
        streaming = this;
        VSIStdoutSetRedirection(&StreamedFile::Write, nullptr);
    }
    ~StreamedFile() {
        VSIStdoutSetRedirection(fwrite, stdout);
        streaming = nullptr;
    }
    StreamedFile(const StreamedFile&) = delete;
    StreamedFile& operator=(const StreamedFile&) = delete;

    static constexpr char kPath[] = "/vsistdout/";

    void Commit() {
        if (!failure_.empty())
            throw FileError(failure_);
        file_.Commit();
    }

  private:
    static std::size_t Write(const void* bytes, std::size_t size, std::size_t count, FILE*) {
        try {
            streaming->file_.Write(std::string_view(static_cast<const char*>(bytes), size * count));
            return count;
        } catch (const FileError& failure) {
            if (streaming->failure_.empty())
                streaming->failure_ = failure.what();
            return 0;
        }
    }

    static inline StreamedFile* streaming = nullptr; // the redirection is one for all
    AtomicFileWriter file_;
    std::string failure_; // the first write that failed
};

struct CloseDataset {
    void operator()(GDALDataset* dataset) const { GDALClose(dataset); }
};

class OgrPointWriter final : public GisPointWriter {
  public:
    OgrPointWriter(GisFormat format, const std::string& path,
                   const std::optional<ReferenceSystem>& system)
        : format_(format), failure_("Cannot write \"" + path + "\". ") {
        StartGdal();
        CPLErrorReset();
        if (HoldsWgs84(format))
            toWgs84_.emplace(PointTransformation::ToWgs84(system.value()));
        // GeoJSON and KML are streamed to the file; GeoPackage and Shapefile, whose
        // writers go back and forth in their files, are made beside it.
        if (HoldsWgs84(format))
            stream_.emplace(path);
        else
            staging_.emplace(path);
        const std::string made = stream_ ? StreamedFile::kPath : staging_->StagedPath();
        const OgrOutput output = OgrOutputOf(format);
        GDALDriver* driver = GetGDALDriverManager()->GetDriverByName(output.driver);
        if (driver)
            dataset_.reset(driver->Create(made.c_str(), 0, 0, 0, GDT_Unknown,
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
        if (!IsUtf8(point.name) || !IsUtf8(point.code))
            refusals_.Refuse(point.name, "its name or code is not UTF-8 text");
        if (refusals_.Any())
            return; // the file will not be kept
        pending_.push_back(point);
        if (pending_.size() == kBatchSize)
            WritePending();
    }

    void Commit() override {
        WritePending();
        refusals_.ThrowIfAny();
        CPLErrorReset();
        if (transactions_ && dataset_->CommitTransaction() != OGRERR_NONE)
            Fail();
        dataset_.reset(); // closed: the file is complete
        if (CPLGetLastErrorType() == CE_Failure || CPLGetLastErrorType() == CE_Fatal)
            Fail();
        if (format_ == GisFormat::Shapefile)
            EndDbfFile(staging_->StagedPath());
        if (stream_)
            stream_->Commit();
        else
            staging_->MoveIntoPlace(format_ == GisFormat::Shapefile ? kShapefileSet
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

    // The points held, transformed together, then written unless one is refused.
    void WritePending() {
        std::vector<double> x, y, z;
        for (const GisPoint& point : pending_) {
            x.push_back(point.easting);
            y.push_back(point.northing);
            z.push_back(point.height);
        }
        std::vector<std::string> refusals(pending_.size());
        if (toWgs84_)
            refusals = toWgs84_->Transform(x, y, z);
        for (std::size_t i = 0; i < pending_.size(); ++i) {
            if (!refusals[i].empty())
                refusals_.Refuse(pending_[i].name, refusals[i]);
        }
        for (std::size_t i = 0; i < pending_.size() && !refusals_.Any(); ++i)
            Write(pending_[i], x[i], y[i], z[i]);
        pending_.clear();
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

    // Appends the end-of-file mark (0x1A) that a dBASE file ends with to the .dbf of the
    // Shapefile whose .shp is at shpPath.
    void EndDbfFile(const std::string& shpPath) const {
        const std::string dbf = shpPath.substr(0, shpPath.size() - 4) + ".dbf";
        std::FILE* file = std::fopen(dbf.c_str(), "r+b"); // the file GDAL made, never a new one
        const bool written =
            file && std::fseek(file, 0, SEEK_END) == 0 && std::fputc(0x1A, file) != EOF;
        if (!file || std::fclose(file) != 0 || !written)
            throw FileError(failure_ + std::strerror(errno));
    }

    [[noreturn]] void Fail() const {
        throw FileError(failure_ + GdalMessage("GDAL gave no reason."));
    }

    GisFormat format_;
    // Declared before the dataset, which is closed before they go.
    std::optional<StagingFolder> staging_;
    std::optional<StreamedFile> stream_;
    std::string failure_;
    std::optional<PointTransformation> toWgs84_;
    std::unique_ptr<GDALDataset, CloseDataset> dataset_;
    OGRLayer* layer_ = nullptr; // the dataset's
    int nameField_ = -1;
    int codeField_ = -1;
    std::unique_ptr<OGRFeature> feature_;
    std::vector<GisPoint> pending_; // added, not yet transformed and written
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

} // namespace stadix
