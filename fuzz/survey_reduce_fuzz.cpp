// Arbitrary bytes as measurements: the first byte chooses curvature and refraction (bit
// 1) and the reader (bits 2 and 3: raw records, or SSS text when bit 0 is set; Leica
// GSI; Sokkia SDR33; Carlson RW5); the rest is read, reduced and reported, and of the
// other makers' files listed and their stored points written, and reduced again as they
// are read from a file, which must give the same lines and report. A file the reader
// refuses must say so with a FormatError; no coordinate written may be anything but a
// finite number.
#include "base/Errors.h"
#include "base/TextFormat.h"
#include "job/RecordLine.h"
#include "survey/MakersFormats.h"
#include "survey/RawMeasurements.h"
#include "survey/ReductionReport.h"
#include "survey/SssMeasurements.h"
#include "survey/StoredPoints.h"
#include "survey/StreamedReduction.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <unistd.h>

namespace {

bool IsFiniteNumber(const std::string& text) {
    try {
        return std::isfinite(stadix::ParseStrictNumber(text));
    } catch (...) {
        return false;
    }
}

void CheckRecordLines(const std::vector<std::string>& lines) {
    for (const std::string& line : lines) {
        if (!IsFiniteNumber(stadix::RecordLineN(line)) ||
            !IsFiniteNumber(stadix::RecordLineE(line)) ||
            !IsFiniteNumber(stadix::RecordLineZ(line)))
            __builtin_trap();
    }
}

// The other maker's file read, listed and its stored points written; none when refused.
std::optional<stadix::Measurements> ReadMakersFile(const stadix::MakersFormat& format,
                                                   std::string_view input) {
    try {
        format.listing(input);
        stadix::Measurements measurements = format.read(input);
        try {
            CheckRecordLines(stadix::StoredPointRecordLines(measurements).lines);
        } catch (const stadix::ConversionError&) {
        }
        return measurements;
    } catch (const stadix::FormatError&) {
        return std::nullopt;
    }
}

// The file reduced a setup at a time, as stadix-cli reduces it, gives what it gives read
// whole.
void CheckReducedAsRead(const stadix::MakersFormat& format, std::string_view input,
                        const stadix::Measurements& measurements,
                        const stadix::ReductionOptions& options,
                        const stadix::Reduction& reduction) {
    static const std::string path = (std::filesystem::temp_directory_path() /
                                     ("stadix-survey-fuzz-" + std::to_string(::getpid())))
                                        .string();
    std::ofstream(path, std::ios::binary | std::ios::trunc)
        .write(input.data(), static_cast<std::streamsize>(input.size()));
    std::vector<std::string> lines;
    std::string report;
    stadix::StreamedReductionOutput output;
    output.startReport = [&report]() -> stadix::ReductionReportWriter::Write {
        report.clear();
        return [&report](std::string_view piece) { report += piece; };
    };
    output.recordLine = [&lines](std::string&& line) { lines.push_back(std::move(line)); };
    stadix::ReduceMakersFile(format, path, options, output);
    if (lines != reduction.recordLines ||
        report != stadix::ReductionReport(measurements, options, reduction))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const std::size_t reader = data[0] >> 2 & 3;
    std::optional<stadix::Measurements> measurements;
    if (reader == 0)
        measurements =
            data[0] & 1 ? stadix::ReadSssMeasurements(input) : stadix::ReadRawMeasurements(input);
    else
        measurements = ReadMakersFile(stadix::MakersFormats()[reader - 1], input);
    if (!measurements)
        return 0;
    stadix::ReductionOptions options;
    if (data[0] & 2)
        options.refraction = 0.13;
    const stadix::Reduction reduction = stadix::Reduce(*measurements, options);
    stadix::ReductionReport(*measurements, options, reduction);
    CheckRecordLines(reduction.recordLines);
    if (reader != 0)
        CheckReducedAsRead(stadix::MakersFormats()[reader - 1], input, *measurements, options,
                           reduction);
    return 0;
}
