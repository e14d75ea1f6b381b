// stadix-cli export, convert and import of GeoPackage, Shapefile, GeoJSON, KML and
// LandXML files, with the reference system of --crs.
#include "cli/GisVerbs.h"

#include "base/FileIO.h"
#include "base/TextFormat.h"
#include "formats/CoordinateImport.h"
#include "formats/ExportFormats.h"
#include "gis/GisModule.h"
#include "gis/PointImport.h"
#include "gis/PointWriters.h"
#include "job/RecordLine.h"

#include <cstdio>
#include <filesystem>
#include <unistd.h>

namespace cli {

namespace {

using stadix::GisFormat;
using System = std::optional<stadix::ReferenceSystem>;

GisFormat GisFormatNamed(const std::string& word) {
    return *stadix::FindGisFormat(word);
}

// The system of --crs; required says whether the format needs one.
System ReferenceSystemOf(const Arguments& args, bool required, const std::string& format) {
    if (!args.Has(kCrsOption)) {
        if (required)
            throw Failure(kUsage, "option --crs is required for " + format +
                                      ", which holds WGS 84 longitudes and latitudes");
        return std::nullopt;
    }
    try {
        return stadix::ReferenceSystem(args.Value(kCrsOption));
    } catch (const stadix::UnknownReferenceSystem& failure) {
        throw Failure(kUsage, failure.what());
    } catch (const stadix::GisModuleMissing& failure) {
        throw Failure(kBadOutput, failure.what());
    }
}

using FillWriter = std::function<void(stadix::GisPointWriter&)>;

void WriteGisFile(const std::string& path, GisFormat format, const System& system,
                  const FillWriter& fill) {
    try {
        const std::unique_ptr<stadix::GisPointWriter> writer =
            stadix::OpenGisPointWriter(format, path, system);
        fill(*writer);
        writer->Commit();
    } catch (const stadix::FileError& failure) {
        throw Failure(kBadOutput, failure.what());
    } catch (const stadix::PointsRefused& failure) {
        throw Failure(kBadInput, std::string(failure.what()) + "\nNothing was written.");
    }
}

// Standard output, a pipe or a device: the file is made whole in a temporary folder,
// then its bytes are written there.
bool TakesBytesDirectly(const std::string& output) {
    std::error_code ec;
    const std::filesystem::file_status status = std::filesystem::status(output, ec);
    return output == "-" || std::filesystem::is_fifo(status) ||
           std::filesystem::is_character_file(status);
}

void WriteGisThroughTemporaryFile(const std::string& output, GisFormat format, const System& system,
                                  const FillWriter& fill) {
    namespace fs = std::filesystem;
    if (format == GisFormat::Shapefile)
        throw Failure(kUsage, "a Shapefile is a set of files: OUTPUT must name its .shp file");
    // Made whole beside itself, as every output is, so that a signal leaves nothing.
    const std::string path =
        (fs::temp_directory_path() / ("stadix-cli-" + std::to_string(::getpid()) + "-points"))
            .string();
    struct Removed {
        std::string path;
        ~Removed() { std::remove(path.c_str()); }
    } removed{path};
    WriteGisFile(path, format, system, fill);
    const std::string bytes = stadix::ReadFileBytes(path);
    std::remove(path.c_str()); // before a closed pipe can end the program
    WriteOutput(output, bytes);
}

// Writes the points to OUTPUT whole or not at all: exit code 3 when it cannot be
// written, 2 when a point is refused.
void WriteGisOutput(const std::string& output, GisFormat format, const System& system,
                    const FillWriter& fill) {
    if (TakesBytesDirectly(output))
        WriteGisThroughTemporaryFile(output, format, system, fill);
    else
        WriteGisFile(output, format, system, fill);
}

bool NextInputLine(stadix::FileLineReader& reader, std::string& line) {
    try {
        return reader.Next(line);
    } catch (const stadix::FileError& failure) {
        FailImport(failure);
    }
}

// Each line of the input read with the import parser and its record handed to the
// writer at once, so that memory stays flat; records without a point name are left out.
void ConvertLines(stadix::FileLineReader& reader, stadix::ImportFormat from,
                  stadix::GisPointWriter& writer) {
    std::size_t lineNumber = 0;
    std::string line;
    std::string recordLine;
    while (NextInputLine(reader, line)) {
        stadix::LineOutcome outcome = stadix::LineOutcome::Dropped;
        try {
            outcome = stadix::ParseNumberedImportLine(from, line, ++lineNumber, recordLine);
        } catch (const stadix::ImportError& failure) {
            FailImport(failure);
        }
        if (outcome == stadix::LineOutcome::End)
            break;
        if (outcome == stadix::LineOutcome::Record && !stadix::RecordLinePt(recordLine).empty())
            writer.Add(stadix::GisPointOfRecordLine(recordLine));
    }
}

void ReportImport(const stadix::GisImport& imported, const System& system) {
    for (const std::string& note : stadix::ImportNotes(imported, system))
        Report(note);
}

} // namespace

const char* const kCrsOption = "--crs";

bool IsGisFormat(const std::string& word) {
    return stadix::FindGisFormat(word).has_value();
}

bool IsGisImportFormat(const std::string& word) {
    const std::optional<GisFormat> format = stadix::FindGisFormat(word);
    return format && stadix::CanImport(*format);
}

void RefuseCrsOption(const Arguments& args) {
    if (args.Has(kCrsOption))
        throw Failure(kUsage, "option --crs is only for gpkg, shp, geojson, kml and landxml");
}

int ExportGis(const Arguments& args) {
    const std::string word = args.Value("--format");
    const GisFormat format = GisFormatNamed(word);
    const System system = ReferenceSystemOf(args, stadix::HoldsWgs84(format), word);
    const std::string& input = args.positionals[0];
    const std::string& output = args.positionals[1];
    if (JobOrMeasurementFileKind(input) != stadix::DocumentKind::JobFile)
        throw Failure(kBadInput, "The format " + word + " cannot be written from " + input);
    RefuseOutputOverInput(output, {input, NamedSettingsFile(args)});
    const std::vector<std::string> records = ReadInput([&] { return LoadGatheredJob(input); });
    try {
        WriteGisOutput(output, format, system, [&records](stadix::GisPointWriter& writer) {
            for (const std::string& record : records)
                writer.Add(stadix::GisPointOfRecordLine(record));
        });
    } catch (const Failure& failure) {
        if (failure.code != kBadOutput)
            throw;
        throw Failure(kBadOutput, stadix::Concat(stadix::kCannotExportError, "\n", failure.what()));
    }
    return kDone;
}

int ConvertToGis(const Arguments& args) {
    const std::string word = args.Value("--to");
    const GisFormat format = GisFormatNamed(word);
    const System system = ReferenceSystemOf(args, stadix::HoldsWgs84(format), word);
    const stadix::ImportFormat from = ImportFormatNamed(args.Value("--from"));
    const std::string& input = args.positionals[0];
    const std::string& output = args.positionals[1];
    RefuseOutputOverInput(output, {input, NamedSettingsFile(args)});
    // Opened first, so that an input that cannot be read is told before the output.
    std::optional<stadix::FileLineReader> reader;
    try {
        reader.emplace(input);
    } catch (const stadix::FileError& failure) {
        FailImport(failure);
    }
    WriteGisOutput(output, format, system,
                   [&](stadix::GisPointWriter& writer) { ConvertLines(*reader, from, writer); });
    return kDone;
}

int ImportGis(const Arguments& args) {
    const GisFormat format = GisFormatNamed(args.Value("--format"));
    const System system = ReferenceSystemOf(args, false, args.Value("--format"));
    const std::string& input = args.positionals[0];
    RefuseOutputOverInput(args.positionals[1], {input, NamedSettingsFile(args)});
    stadix::GisImport imported;
    try {
        imported = stadix::ImportGisPoints(input, format, system);
    } catch (const stadix::GisInputError& failure) {
        FailImport(failure);
    } catch (const stadix::PointsRefused& failure) {
        FailImport(failure);
    } catch (const stadix::GisModuleMissing& failure) {
        throw Failure(kBadOutput, failure.what());
    }
    ReportImport(imported, system);
    WriteRecordsAsJobFile(args.positionals[1], imported.recordLines);
    return kDone;
}

} // namespace cli
