// Arbitrary lines through the PTS, CSV and SIMA import parsers: a record line, a dropped
// line, the end marker or a conversion failure; never anything else.
#include "base/Errors.h"
#include "formats/CoordinateImport.h"
#include "job/RecordLine.h"

#include <cstddef>
#include <cstdint>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const auto format = static_cast<stadix::ImportFormat>(data[0] % 3);
    const std::string line(reinterpret_cast<const char*>(data + 1), size - 1);
    std::string recordLine;
    try {
        if (stadix::ParseImportLine(format, line, recordLine) == stadix::LineOutcome::Record &&
            recordLine.size() != stadix::kRecordLineLength)
            __builtin_trap();
    } catch (const stadix::ConversionError&) {
    }
    return 0;
}
