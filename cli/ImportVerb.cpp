// stadix-cli import: what File > Import reads, written as a job file, and the stored
// coordinates of another maker's raw file.
#include "cli/Verbs.h"

#include "base/FileIO.h"
#include "cli/GisVerbs.h"
#include "formats/CoordinateImport.h"
#include "job/JobFile.h"
#include "survey/StoredPoints.h"

namespace cli {

namespace {

// The record lines of the points the file stores; names cut to a record line's length
// are told on standard error.
std::vector<std::string> StoredPoints(const stadix::MakersFormat& format,
                                      const std::string& input) {
    const std::string bytes = ReadInput([&] { return stadix::ReadFileBytes(input); });
    const stadix::Measurements measurements = ReadMakersFile(format, input, bytes);
    const stadix::StoredPointLines stored =
        ReadInput([&] { return stadix::StoredPointRecordLines(measurements); });
    for (const stadix::CutName& cut : stored.cutNames)
        Report("Name cut to 8 characters: " + cut.name + " -> " + cut.cut);
    return stored.lines;
}

std::vector<std::string> ImportedLines(const std::string& word, const std::string& input) {
    if (const stadix::MakersFormat* makers = stadix::FindMakersFormat(word))
        return StoredPoints(*makers, input);
    const stadix::ImportFormat format = ImportFormatNamed(word);
    stadix::ImportedRecords imported;
    try {
        imported = stadix::ImportCoordinateFile(input, format);
    } catch (const std::exception& failure) {
        FailImport(failure);
    }
    if (imported.linesLeftOut > 0)
        Report(stadix::ImportCutMessage(imported));
    return std::move(imported.lines);
}

} // namespace

const char* const kImportUsage =
    "stadix-cli import --format pts|csv|sima|gsi|sdr|rw5 INPUT OUTPUT\n"
    "  Converts INPUT as File > Import does and writes the records as a job file; of a\n"
    "  Leica GSI, Sokkia SDR33 or Carlson RW5 raw file, the coordinates it stores.\n"
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
    const std::string& input = args.positionals[0];
    const std::string word = args.Value("--format");
    if (!stadix::FindMakersFormat(word))
        ImportFormatNamed(word);
    RefuseOutputOverInput(args.positionals[1], {input, NamedSettingsFile(args)});
    WriteRecordsAsJobFile(args.positionals[1], ImportedLines(word, input));
    return kDone;
}

} // namespace cli
