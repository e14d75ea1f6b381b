// Arbitrary bytes as measurements: the first byte chooses SSS text (bit 0) or raw
// records, and curvature and refraction (bit 1); the rest is read, reduced and
// reported. No coordinate written may be anything but a finite number.
#include "base/TextFormat.h"
#include "job/RecordLine.h"
#include "survey/RawMeasurements.h"
#include "survey/ReductionReport.h"
#include "survey/SssMeasurements.h"

#include <cmath>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace {

bool IsFiniteNumber(const std::string& text) {
    try {
        return std::isfinite(stadix::ParseStrictNumber(text));
    } catch (...) {
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const std::string_view input(reinterpret_cast<const char*>(data) + 1, size - 1);
    const stadix::Measurements measurements =
        data[0] & 1 ? stadix::ReadSssMeasurements(input) : stadix::ReadRawMeasurements(input);
    stadix::ReductionOptions options;
    if (data[0] & 2)
        options.refraction = 0.13;
    const stadix::Reduction reduction = stadix::Reduce(measurements, options);
    stadix::ReductionReport(measurements, options, reduction);
    for (const std::string& line : reduction.recordLines) {
        if (!IsFiniteNumber(stadix::RecordLineN(line)) ||
            !IsFiniteNumber(stadix::RecordLineE(line)) ||
            !IsFiniteNumber(stadix::RecordLineZ(line)))
            __builtin_trap();
    }
    return 0;
}
