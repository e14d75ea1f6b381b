// stadix-cli reduce: coordinates computed from the station setups and observations of a
// measurement file, SSS text or another maker's raw file, written as a job is written, with a
// report on request.
#include "cli/Verbs.h"

#include "base/FileIO.h"
#include "base/TextFormat.h"
#include "formats/Convert.h"
#include "rawconv/MeasurementFile.h"
#include "survey/MakersFile.h"
#include "survey/MakersFormats.h"
#include "survey/RawMeasurements.h"
#include "survey/ReductionReport.h"
#include "survey/SssMeasurements.h"
#include "survey/StreamedReduction.h"

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

// SSS text or a measurement file, read whole.
stadix::Measurements ReadMeasurements(const InputKind& kind, const std::string& input) {
    const std::string bytes = ReadInput([&] { return stadix::ReadFileBytes(input); });
    if (std::string_view(kind.word) == "sss")
        return stadix::ReadSssMeasurements(bytes);
    const std::string problem = stadix::CheckMeasurementFile(bytes);
    if (!problem.empty())
        throw Failure(kBadInput, problem);
    return stadix::ReadRawMeasurements(bytes);
}

// The record lines written as the output format writes a job, its header before the first.
class RecordPieces {
  public:
    RecordPieces(const stadix::RecordWriter& writer, const stadix::UserFormat& layout,
                 OutputInPieces& output)
        : writer_(writer), layout_(layout), output_(output) {}

    void Add(const std::string& line) {
        if (count_ == 0)
            bytes_ = writer_.header;
        writer_.appendRecord(bytes_, ++count_, line, layout_);
        bytes_ += "\r\n";
        if (bytes_.size() >= kPiece) {
            output_.Write(bytes_);
            bytes_.clear();
        }
    }

    void End() {
        bytes_ += writer_.trailer;
        output_.Write(bytes_);
    }

  private:
    static constexpr std::size_t kPiece = 1 << 16;
    const stadix::RecordWriter& writer_;
    const stadix::UserFormat& layout_;
    OutputInPieces& output_;
    std::string bytes_;
    std::size_t count_ = 0;
};

// A measurement file or SSS text: read whole, then reduced.
stadix::StreamedReductionCounts ReduceWhole(const InputKind& kind, const std::string& input,
                                            const stadix::ReductionOptions& options,
                                            RecordPieces& records, OutputInPieces* report) {
    const stadix::Measurements measurements = ReadMeasurements(kind, input);
    const stadix::Reduction reduction = stadix::Reduce(measurements, options);
    for (const std::string& line : reduction.recordLines)
        records.Add(line);
    if (report)
        report->Write(stadix::ReductionReport(measurements, options, reduction));
    stadix::StreamedReductionCounts counts{measurements.setups.size(), reduction.recordLines.size(),
                                           reduction.outsideSetups.size()};
    for (const stadix::SetupResult& setup : reduction.setups)
        counts.leftOut += setup.leftOut.size();
    return counts;
}

// Another maker's file: reduced as it is read, a setup at a time.
stadix::StreamedReductionCounts ReduceStreamed(const stadix::MakersFormat& format,
                                               const std::string& input,
                                               const stadix::ReductionOptions& options,
                                               RecordPieces& records, OutputInPieces* report) {
    stadix::StreamedReductionOutput output;
    output.recordLine = [&records](std::string&& line) { records.Add(line); };
    if (report)
        output.startReport = [report]() -> stadix::ReductionReportWriter::Write {
            report->StartOver();
            return [report](std::string_view piece) { report->Write(piece); };
        };
    return ReadInput([&] {
        try {
            return stadix::ReduceMakersFile(format, input, options, output);
        } catch (const stadix::FormatError& failure) {
            throw Failure(kBadInput, stadix::NotOfKindMessage(format, input, failure));
        }
    });
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

    const stadix::UserFormat layout = userLayout ? UserLayout(args) : stadix::DefaultUserFormat();
    OutputInPieces out(output);
    std::optional<OutputInPieces> report;
    if (args.Has("--report"))
        report.emplace(args.Value("--report"));
    RecordPieces records(*writer, layout, out);
    const stadix::MakersFormat* makers = stadix::FindMakersFormat(kind.word);
    const stadix::StreamedReductionCounts counts =
        makers ? ReduceStreamed(*makers, input, options, records, report ? &*report : nullptr)
               : ReduceWhole(kind, input, options, records, report ? &*report : nullptr);
    if (counts.setups == 0)
        throw Failure(kBadInput, "No station setup in " + input);
    if (counts.records == 0)
        throw Failure(kBadInput,
                      "Nothing to compute: no station with known coordinates in " + input);
    records.End();
    if (report)
        report->Commit();
    out.Commit();
    Report("Records written: " + std::to_string(counts.records) +
           "; setups: " + std::to_string(counts.setups) +
           "; observations left out: " + std::to_string(counts.leftOut));
    return kDone;
}

} // namespace cli
