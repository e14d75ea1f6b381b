// The measurements of a Leica GSI file. Each line is a block of words separated by
// blanks, GSI-16 where the line starts with "*" (up to 16 characters of data a word),
// GSI-8 otherwise (up to 8). A word is a two-digit word index (WI), four characters of
// information whose last is the unit digit, a sign and the data.
// - A block with a station's words (84, 85, 86 easting, northing and height; 88 the
//   instrument height) and no horizontal circle starts a setup named by its point id
//   (11). A measurement block whose station words differ from the setup's starts a
//   setup of the changed words, on the same station when its coordinates stand.
// - A block with a horizontal circle (21) is an observation of its point id, with its
//   zenith angle (22), slope distance (31), remark (71, its code) and the target height
//   the last 87 gave. No backsight is designated: the circle is taken as read.
// - A block with east, north and height (81, 82, 83) gives that point.
// Places are line numbers from 1. Throws FormatError for a line that is not a GSI block.
#pragma once

#include "survey/Measurements.h"
#include "survey/TextRecords.h"

#include <string>
#include <string_view>

namespace stadix {

Measurements ReadGsiMeasurements(std::string_view text);

// Reads the file a line at a time, handing its setups to take as they finish, and the
// rest at its end. Throws FileError, and FormatError as the reading does.
void StreamGsiMeasurements(const std::string& path, const FinishedSetups& take);

// One line per block: what each word is and its value in the unit the word gives.
// Throws FormatError as the reading does.
std::string GsiListing(std::string_view text);

} // namespace stadix
