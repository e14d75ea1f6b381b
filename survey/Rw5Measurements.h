// The measurements of a Carlson RW5 file: comma records, each a record type (two to four
// capitals and digits, "SS", "G0", "GPS") and fields that start with their tag (two
// letters, or "N " and "E "); from a field "--" on, the rest of the line is the
// record's note. A line starting "--" is a note.
// - MO gives the distance unit (UN: 0 feet, 1 metres, 2 US survey feet) and the angle
//   unit (AU: 0 degrees as DDD.MMSS, 1 gon) of what follows.
// - SP stores a point: PN, N, E, EL, its note the code.
// - OC starts a setup on OP with the coordinates it gives (N, E, EL).
// - BK designates the backsight BP of the setup on OP, with the backsight azimuth BS and
//   the back circle BC it states.
// - LS gives the instrument height HI, which may change inside a setup, and the rod
//   height HR of what follows.
// - SS and TR (side shot, traverse), BD and BR (backsight direct and reverse), FD and FR
//   (foresight direct and reverse) are observations of FP from OP: AR the angle right
//   (the circle reading), ZE the zenith angle, SD the slope distance, the note the code.
//   One from another station than the setup's belongs to no setup.
// - JB and the other records are listed, not read. A file with none of the records read
//   is not an RW5 file.
// Places are line numbers from 1. Throws FormatError for a line that is not an RW5
// record, or a value of a record read that does not read.
#pragma once

#include "survey/Measurements.h"
#include "survey/TextRecords.h"

#include <string>
#include <string_view>

namespace stadix {

Measurements ReadRw5Measurements(std::string_view text);

// Reads the file a line at a time, handing its setups to take as they finish, and the
// rest at its end. Throws FileError, and FormatError as the reading does.
void StreamRw5Measurements(const std::string& path, const FinishedSetups& take);

// One line per record: what it is and its fields in the file's units.
// Throws FormatError as the reading does.
std::string Rw5Listing(std::string_view text);

} // namespace stadix
