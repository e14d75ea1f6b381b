// Arbitrary bytes as a measurement file: checked, then rendered as the listing from a
// fresh decoding state.
#include "rawconv/Listing.h"
#include "rawconv/MeasurementFile.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    stadix::DecodeState state;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::string problem = stadix::CheckMeasurementFile(bytes);
    std::vector<std::string> lines;
    stadix::RenderListing(state, bytes, lines);
    if (problem.empty() && lines.empty())
        __builtin_trap(); // a valid file opens with its INST record
    return 0;
}
