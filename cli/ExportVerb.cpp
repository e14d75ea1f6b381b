// stadix-cli export: what Save As and Export write, from a job or measurement file.
#include "cli/Verbs.h"

#include "cli/GisVerbs.h"

#include "base/FileIO.h"
#include "base/TextFormat.h"
#include "formats/ExportFormats.h"
#include "job/Job.h"
#include "job/JobFile.h"
#include "rawconv/MeasurementFile.h"

namespace cli {

namespace {

// What Save and Save As write besides the export formats of the table.
const std::string kJobFile = "jcd";
const std::string kJobTextCopy = "txt";
const std::string kListing = "listing";

bool IsJobFormat(const std::string& format) {
    return format == kJobFile || format == kJobTextCopy ||
           stadix::FindCoordinateFormat(format) != nullptr;
}

bool IsMeasurementFormat(const std::string& format) {
    return format == kListing || stadix::FindMeasurementFormat(format) != nullptr;
}

// The formats of Export, which reports a file it cannot write in its own words.
bool IsExportFormat(const std::string& format) {
    return stadix::FindCoordinateFormat(format) != nullptr ||
           stadix::FindMeasurementFormat(format) != nullptr;
}

std::string ExportJob(const std::string& format, const std::string& input, const Arguments& args) {
    const std::vector<std::string> records = LoadGatheredJob(input);
    if (format == kJobFile)
        return stadix::JobFileBytes(records);
    if (format == kJobTextCopy)
        return stadix::JobTextCopyBytes(records);
    const stadix::CoordinateFormat& coordinates = *stadix::FindCoordinateFormat(format);
    return stadix::CoordinateExportBytes(coordinates, records,
                                         coordinates.userLayout ? UserLayout(args)
                                                                : stadix::DefaultUserFormat());
}

// The measurement file opened as the window opens it, in a fresh job's decoding state:
// its listing applies its INST and UNIT records before an export is written.
std::string ExportMeasurement(const std::string& format, const std::string& input) {
    stadix::Job job;
    const std::string problem = stadix::OpenMeasurementFile(job, input, false);
    if (!problem.empty())
        throw Failure(kBadInput, problem);
    if (format == kListing)
        return stadix::JoinLinesCrLf(job.lines);
    return stadix::FindMeasurementFormat(format)->fileBytes(job.decodeState, job.rawRecords);
}

} // namespace

const char* const kExportUsage =
    "stadix-cli export --format FMT INPUT OUTPUT\n"
    "  INPUT: a coordinate job file (.JCD) for FMT jcd, txt, pts, csv, dxf, sima or user;\n"
    "  a measurement file of raw records (.TSM) for FMT listing, sss or polar.\n"
    "  user writes the layout of the settings file (--settings FILE), or the default\n"
    "  layout when it cannot be read. OUTPUT - writes to standard output.\n"
    "stadix-cli export --format gpkg|shp|geojson|kml|landxml [--crs CRS] INPUT.JCD OUTPUT\n"
    "  Writes the job's points with their reference system CRS, an authority code such\n"
    "  as EPSG:25833 (N/X northing, E/Y easting): a GeoPackage, a Shapefile (OUTPUT the\n"
    "  .shp; .shx, .dbf, .cpg and, with CRS, .prj beside it), LandXML 1.2 CgPoints;\n"
    "  GeoJSON and KML on WGS 84, which need --crs.\n";

int RunExport(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words, {"--format", kCrsOption});
    RequirePositionals(args, {"INPUT", "OUTPUT"});
    if (!args.Has("--format"))
        throw Failure(kUsage, "missing option --format");
    const std::string format = args.Value("--format");
    if (IsGisFormat(format))
        return ExportGis(args);
    RefuseCrsOption(args);
    const bool jobFormat = IsJobFormat(format);
    if (!jobFormat && !IsMeasurementFormat(format))
        throw Failure(kUsage, "unknown format " + format);
    const std::string& input = args.positionals[0];
    const bool isJob = JobOrMeasurementFileKind(input) == stadix::DocumentKind::JobFile;
    if (jobFormat != isJob)
        throw Failure(kBadInput, "The format " + format + " cannot be written from " + input);
    const stadix::CoordinateFormat* coordinates = stadix::FindCoordinateFormat(format);
    RefuseOutputOverInput(args.positionals[1], {input, coordinates && coordinates->userLayout
                                                           ? SettingsPathOf(args)
                                                           : NamedSettingsFile(args)});
    const std::string bytes = ReadInput(
        [&] { return isJob ? ExportJob(format, input, args) : ExportMeasurement(format, input); });
    try {
        WriteOutput(args.positionals[1], bytes);
    } catch (const Failure& failure) {
        if (!IsExportFormat(format))
            throw;
        throw Failure(kBadOutput, stadix::Concat(stadix::kCannotExportError, "\n", failure.what()));
    }
    return kDone;
}

} // namespace cli
