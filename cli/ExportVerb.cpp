// stadix-cli export: what Save As and Export write, from a job or measurement file.
#include "cli/Verbs.h"

#include "app/FileIO.h"
#include "app/Job.h"
#include "app/JobFile.h"
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

// The measurement file opened as the window opens it, in a fresh job's decoding state.
std::string ExportMeasurement(const std::string& input) {
    stadix::Job job;
    job.rawRecords = stadix::ReadFileBytes(input);
    const std::string problem = stadix::CheckMeasurementFile(job.rawRecords);
    if (!problem.empty())
        throw Failure(kBadInput, problem);
    stadix::RenderListing(job.decodeState, job.rawRecords, job.lines);
    return stadix::JoinLinesCrLf(job.lines);
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
    const bool isJob = stadix::HasExtension(input, ".JCD");
    const bool isMeasurement = stadix::HasExtension(input, ".TSM");
    if (!isJob && !isMeasurement)
        throw Failure(kBadInput,
                      "Not a coordinate job file (.JCD) or measurement file (.TSM): " + input);
    if (jobFormat != isJob)
        throw Failure(kBadInput, "The format " + format + " cannot be written from " + input);
    const std::string bytes =
        ReadInput([&] { return isJob ? ExportJob(format, input) : ExportMeasurement(input); });
    WriteOutput(args.positionals[1], bytes);
    return kDone;
}

} // namespace cli
