// Arbitrary received text through the conversion of GTS and SSS coordinates.
#include "base/Errors.h"
#include "job/ReceivedCoords.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const auto dataFormat = static_cast<stadix::DataFormat>(data[0] % 3);
    std::vector<std::string> lines(1);
    for (std::size_t i = 1; i < size; ++i) {
        if (data[i] == '\n')
            lines.emplace_back();
        else
            lines.back() += static_cast<char>(data[i]);
    }
    try {
        stadix::ConvertReceivedCoordinates(lines, dataFormat);
    } catch (const stadix::ConversionError&) {
        return 0; // the lines not yet examined stay as received
    }
    for (const std::string& line : lines) {
        if (dataFormat != stadix::DataFormat::Kvr && line.size() != 57)
            __builtin_trap();
    }
    return 0;
}
