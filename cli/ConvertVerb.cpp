// stadix-cli convert: coordinate files of any size from an import format to an export
// format, a line at a time.
#include "cli/Verbs.h"

#include "cli/GisVerbs.h"

#include "formats/Convert.h"

namespace cli {

namespace {

stadix::RecordWriter TargetFormat(const std::string& word) {
    const std::optional<stadix::RecordWriter> writer = stadix::FindRecordWriter(word);
    if (!writer)
        throw Failure(kUsage, "unknown format " + word);
    return *writer;
}

struct Conversion {
    std::string input;
    stadix::ImportFormat from;
    stadix::RecordWriter to;
    stadix::UserFormat layout;
};

// Runs the conversion into write; a line that does not convert or an input that
// cannot be read ends it as Import ends.
void Convert(const Conversion& conversion, const WritePiece& write) {
    try {
        stadix::ConvertCoordinateFile(conversion.input, conversion.from, conversion.to,
                                      conversion.layout, write);
    } catch (const stadix::ImportError& failure) {
        FailImport(failure);
    } catch (const stadix::FileError& failure) {
        FailImport(failure);
    }
}

} // namespace

const char* const kConvertUsage =
    "stadix-cli convert --from pts|csv|sima --to jcd|txt|pts|csv|dxf|sima|user INPUT OUTPUT\n"
    "  Converts a coordinate file of any size, a line at a time, as Import followed by\n"
    "  Export (or Save As for jcd and txt) would; user takes the layout of --settings.\n"
    "stadix-cli convert --from pts|csv|sima --to gpkg|shp|geojson|kml|landxml [--crs CRS]\n"
    "                   INPUT OUTPUT\n"
    "  The same into the GIS formats of export, a point at a time.\n";

int RunConvert(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words, {"--from", "--to", kCrsOption});
    RequirePositionals(args, {"INPUT", "OUTPUT"});
    for (const char* option : {"--from", "--to"}) {
        if (!args.Has(option))
            throw Failure(kUsage, std::string("missing option ") + option);
    }
    if (IsGisFormat(args.Value("--to")))
        return ConvertToGis(args);
    RefuseCrsOption(args);
    const Conversion conversion{args.positionals[0], ImportFormatNamed(args.Value("--from")),
                                TargetFormat(args.Value("--to")), UserLayout(args)};
    const std::string& output = args.positionals[1];
    RefuseOutputOverInput(output, {conversion.input, SettingsPathOf(args)});
    WriteOutputInPieces(output,
                        [&conversion](const WritePiece& write) { Convert(conversion, write); });
    return kDone;
}

} // namespace cli
