// Measurement files (".TSM"): the raw record store written byte for byte.
#pragma once

#include "job/Job.h"

#include <string>
#include <string_view>

namespace stadix {

// Why the bytes are not a measurement file, as one short sentence for the user, or
// an empty text when they are one: records of 42 bytes, the first an INST record.
// The file is then shown with RenderListing (rawconv/Listing.h).
std::string CheckMeasurementFile(std::string_view bytes);

// Opens a measurement file: raw records (.TSM) are checked and rendered as the listing,
// any other file is read as text, GTS or SSS when the GTS type was chosen. Returns why
// a raw record file was refused, empty when it opened; a refused file leaves the job as
// it was. Throws FileError.
std::string OpenMeasurementFile(Job& job, const std::string& path, bool gtsTypeChosen);

} // namespace stadix
