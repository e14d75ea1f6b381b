// Arbitrary bytes as measurements: the first byte chooses curvature and refraction (bit
// 1) and the reader (bits 2 and 3: raw records, or SSS text when bit 0 is set; Leica
// GSI; Sokkia SDR33; Carlson RW5); the rest is read, reduced and reported, and of the
// other makers' files listed and their stored points written. A file the reader refuses
// must say so with a FormatError; no coordinate written may be anything but a finite
// number.
#include "base/Errors.h"
#include "base/TextFormat.h"
#include "job/RecordLine.h"
#include "survey/MakersFormats.h"
#include "survey/RawMeasurements.h"
#include "survey/ReductionReport.h"
#include "survey/SssMeasurements.h"
#include "survey/StoredPoints.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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
    return 0;
}
