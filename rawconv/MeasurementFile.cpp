#include "rawconv/MeasurementFile.h"

#include "rawconv/RawRecords.h"

namespace stadix {

std::string CheckMeasurementFile(std::string_view bytes) {
    if (bytes.empty())
        return "The measurement file is empty.";
    if (bytes.size() % kRawRecordSize != 0)
        return "The measurement file has " + std::to_string(bytes.size()) +
               " bytes, which is not a whole number of 42-byte records.";
    if (static_cast<unsigned char>(bytes[0]) != kTypeInst)
        return "The measurement file does not begin with an INST record.";
    return std::string();
}

} // namespace stadix
