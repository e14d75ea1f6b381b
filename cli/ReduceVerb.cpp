// stadix-cli reduce: coordinates computed from the station setups and observations of a
// measurement file, SSS text or another maker's raw file, written as a job is written, with a
// report on request.
#include "cli/Verbs.h"

#include "base/FileIO.h"
#include "base/TextFormat.h"
#include "formats/Convert.h"
#include "rawconv/MeasurementFile.h"
#include "survey/MakersFormats.h"
#include "survey/RawMeasurements.h"
#include "survey/ReductionReport.h"
#include "survey/SssMeasurements.h"

namespace cli {

namespace {

struct InputKind {
    const char* word;
    const char* extension; // upper case; none for SSS text
};

const InputKind kKinds[] = {
    {"tsm", ".TSM"}, {"sss", nullptr}, {"gsi", ".GSI"}, {"sdr", ".SDR"}, {"rw5", ".RW5"},
};

// The kind --from names, else the one of the input's extension.
const InputKind& KindOf(const Arguments& args, const std::string& input) {
    for (const InputKind& kind : kKinds) {
        if (args.Has("--from") ? args.Value("--from") == kind.word
                               : kind.extension && stadix::HasExtension(input, kind.extension))
            return kind;
    }
    if (args.Has("--from"))
        throw Failure(kUsage, "unknown input kind " + args.Value("--from"));
    throw Failure(kBadInput, "Not a measurement file (.TSM, .GSI, .SDR, .RW5): " + input +
                                 "\nSSS text is read with --from sss.");
}

// The option's number, which must lie from low to high; fallback when it is not given.
double NumberOption(const Arguments& args, const std::string& option, double low, double high,
                    double fallback) {
    if (!args.Has(option))
        return fallback;
    const std::string range = option + " takes a number from " + stadix::FormatFixed(low, 1) +
                              " to " + stadix::FormatFixed(high, 1) + ": " + args.Value(option);
    double value = 0;
    try {
        value = stadix::ParseStrictNumber(args.Value(option));
    } catch (const stadix::ConversionError&) {
        throw Failure(kUsage, range);
    }
    if (!(value >= low && value <= high))
        throw Failure(kUsage, range);
    return value;
}

stadix::ReductionOptions OptionsOf(const Arguments& args) {
    stadix::ReductionOptions options;
    options.scale = NumberOption(args, "--scale", 0.9, 1.1, 1.0);
    if (args.Has("--refraction"))
        options.refraction = NumberOption(args, "--refraction", 0, 1, 0);
    return options;
}

stadix::Measurements ReadMeasurements(const InputKind& kind, const std::string& input) {
    const std::string bytes = ReadInput([&] { return stadix::ReadFileBytes(input); });
    const std::string word = kind.word;
    if (word == "sss")
        return stadix::ReadSssMeasurements(bytes);
    if (word == "tsm") {
        const std::string problem = stadix::CheckMeasurementFile(bytes);
        if (!problem.empty())
            throw Failure(kBadInput, problem);
        return stadix::ReadRawMeasurements(bytes);
    }
    return ReadMakersFile(*stadix::FindMakersFormat(word), input, bytes);
}

std::string OutputBytes(const stadix::RecordWriter& writer,
                        const std::vector<std::string>& recordLines,
                        const stadix::UserFormat& layout) {
    std::string bytes(writer.header);
    for (std::size_t i = 0; i < recordLines.size(); ++i) {
        writer.appendRecord(bytes, i + 1, recordLines[i], layout);
        bytes += "\r\n";
    }
    bytes += writer.trailer;
    return bytes;
}

std::size_t LeftOutCount(const stadix::Reduction& reduction) {
    std::size_t count = reduction.outsideSetups.size();
    for (const stadix::SetupResult& setup : reduction.setups)
        count += setup.leftOut.size();
    return count;
}

} // namespace

const char* const kReduceUsage =
    "stadix-cli reduce [--from tsm|sss|gsi|sdr|rw5] [--to jcd|txt|pts|csv|dxf|sima|user]\n"
    "                  [--scale FACTOR] [--refraction K] [--report FILE] INPUT OUTPUT\n"
    "  Computes coordinates from the station setups and observations of INPUT (a\n"
    "  measurement file .TSM, Leica GSI .GSI, Sokkia SDR33 .SDR, Carlson RW5 .RW5, or SSS\n"
    "  text with --from sss) and writes the stations and points as --to writes a job\n"
    "  (default jcd). --scale (0.9 to 1.1) multiplies the\n"
    "  horizontal distances; --refraction K (0 to 1) applies curvature and refraction;\n"
    "  --report writes what was computed, from what, and what was left out and why.\n";

int RunReduce(const std::vector<std::string>& words) {
    const Arguments args =
        ParseArguments(words, {"--from", "--to", "--scale", "--refraction", "--report"});
    RequirePositionals(args, {"INPUT", "OUTPUT"});
    const std::string format = args.Value("--to", "jcd");
    const std::optional<stadix::RecordWriter> writer = stadix::FindRecordWriter(format);
    if (!writer)
        throw Failure(kUsage, "unknown format " + format);
    const stadix::ReductionOptions options = OptionsOf(args);
    const std::string& input = args.positionals[0];
    const std::string& output = args.positionals[1];
    const InputKind& kind = KindOf(args, input);
    const bool userLayout = format == "user";
    RefuseOutputOverInput(output,
                          {input, userLayout ? SettingsPathOf(args) : NamedSettingsFile(args)});
    RefuseOutputOverInput(args.Value("--report"), {input, output});

    const stadix::Measurements measurements = ReadMeasurements(kind, input);
    if (measurements.setups.empty())
        throw Failure(kBadInput, "No station setup in " + input);
    const stadix::Reduction reduction = stadix::Reduce(measurements, options);
    if (reduction.recordLines.empty())
        throw Failure(kBadInput,
                      "Nothing to compute: no station with known coordinates in " + input);
    const std::string bytes =
        OutputBytes(*writer, reduction.recordLines,
                    userLayout ? UserLayout(args) : stadix::DefaultUserFormat());
    if (args.Has("--report"))
        WriteOutput(args.Value("--report"),
                    stadix::ReductionReport(measurements, options, reduction));
    WriteOutput(output, bytes);
    Report("Records written: " + std::to_string(reduction.recordLines.size()) +
           "; setups: " + std::to_string(measurements.setups.size()) +
           "; observations left out: " + std::to_string(LeftOutCount(reduction)));
    return kDone;
}

} // namespace cli
