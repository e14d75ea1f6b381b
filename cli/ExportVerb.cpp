// stadix-cli export: what Save As and Export write, from a job or measurement file.
#include "cli/Verbs.h"

#include "app/Errors.h"
#include "app/FileIO.h"
#include "app/JobFile.h"
#include "rawconv/Kvrrawconv.h"
#include "rawconv/Listing.h"
#include "rawconv/MeasurementFile.h"

namespace cli {

namespace {

const std::set<std::string> kJobFormats = {"jcd", "txt"};
const std::set<std::string> kMeasurementFormats = {"listing"};

std::string ExportJob(const std::string& format, const std::string& input) {
    const std::vector<std::string> lines = LoadGatheredJob(input);
    return format == "txt" ? stadix::JobTextCopyBytes(lines) : stadix::JobFileBytes(lines);
}

std::string ExportMeasurement(const std::string& input) {
    const std::string bytes = stadix::ReadFileBytes(input);
    const std::string problem = stadix::CheckMeasurementFile(bytes);
    if (!problem.empty())
        throw Failure(kBadInput, problem);
    std::vector<std::string> lines;
    stadix::ResetDecodeState();
    stadix::RenderListing(bytes, lines);
    return stadix::JoinLinesCrLf(lines);
}

} // namespace

const char* const kExportUsage =
    "stadix-cli export --format jcd|txt|listing INPUT OUTPUT\n"
    "  INPUT: a coordinate job file (.JCD) for jcd and txt, a measurement file of raw\n"
    "  records (.TSM) for listing. OUTPUT - writes to standard output.\n";

int RunExport(const std::vector<std::string>& words) {
    const Arguments args = ParseArguments(words, {"--format"});
    RequirePositionals(args, {"INPUT", "OUTPUT"});
    if (!args.Has("--format"))
        throw Failure(kUsage, "missing option --format");
    const std::string format = args.Value("--format");
    const bool jobFormat = kJobFormats.count(format) != 0;
    if (!jobFormat && kMeasurementFormats.count(format) == 0)
        throw Failure(kUsage, "unknown format " + format);
    const std::string& input = args.positionals[0];
    const bool isJob = HasExtension(input, ".JCD");
    const bool isMeasurement = HasExtension(input, ".TSM");
    if (!isJob && !isMeasurement)
        throw Failure(kBadInput,
                      "Not a coordinate job file (.JCD) or measurement file (.TSM): " + input);
    if (jobFormat != isJob)
        throw Failure(kBadInput, "The format " + format + " cannot be written from " + input);

    std::string bytes;
    try {
        bytes = isJob ? ExportJob(format, input) : ExportMeasurement(input);
    } catch (const stadix::FileError& failure) {
        throw Failure(kBadInput, failure.what());
    } catch (const stadix::ConversionError& failure) {
        throw Failure(kBadInput, failure.what());
    }
    WriteOutput(args.positionals[1], bytes);
    return kDone;
}

} // namespace cli
