// Measurement files (".TSM"): the raw record store written byte for byte.
#pragma once

#include <string>
#include <string_view>

namespace stadix {

// Why the bytes are not a measurement file, as one short sentence for the user, or
// an empty text when they are one: records of 42 bytes, the first an INST record.
// The file is then shown with RenderListing (rawconv/Listing.h).
std::string CheckMeasurementFile(std::string_view bytes);

} // namespace stadix
