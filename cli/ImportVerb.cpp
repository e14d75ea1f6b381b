// stadix-cli import: what File > Import reads, written as a job file.
#include "cli/Verbs.h"

#include "cli/GisVerbs.h"

#include "formats/CoordinateImport.h"
#include "job/JobFile.h"

namespace cli {

const char* const kImportUsage =
    "stadix-cli import --format pts|csv|sima INPUT OUTPUT\n"
    "  Converts INPUT as File > Import does and writes the records as a job file.\n"
    "stadix-cli import --format gpkg|shp|geojson|kml [--crs CRS] INPUT OUTPUT\n"
    "  Takes the points of the first point layer (name and code fields), transformed\n"
    "  into CRS (an authority code such as EPSG:25833); names are cut to 8 characters.\n";

int RunImport(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words, {"--format", kCrsOption});
    RequirePositionals(args, {"INPUT", "OUTPUT"});
    if (!args.Has("--format"))
        throw Failure(kUsage, "missing option --format");
    if (IsGisImportFormat(args.Value("--format")))
        return ImportGis(args);
    RefuseCrsOption(args);
    const stadix::ImportFormat format = ImportFormatNamed(args.Value("--format"));
    RefuseOutputOverInput(args.positionals[1], {args.positionals[0], NamedSettingsFile(args)});
    stadix::ImportedRecords imported;
    try {
        imported = stadix::ImportCoordinateFile(args.positionals[0], format);
    } catch (const std::exception& failure) {
        FailImport(failure);
    }
    if (imported.linesLeftOut > 0)
        Report(stadix::ImportCutMessage(imported));
    WriteRecordsAsJobFile(args.positionals[1], imported.lines);
    return kDone;
}

} // namespace cli
