// The measurements of a Sokkia SDR33 file (or SDR2x): records of fixed columns, each
// line starting with a two-digit record type and two characters of how it came about.
// - The header (00), the file's first record, gives the angle unit (degrees, read as
//   decimal degrees, gon or mil), the distance unit (metres or feet) and the coordinate
//   order (north or east first); its version says the field widths: SDR2x 4-character point ids and 10-character
//   values, otherwise 16 and 16. The instrument record (01) says whether vertical angles
//   are read from the zenith or the horizon.
// - A station record (02) starts a setup: station, coordinates, instrument height.
// - A target height record (03) gives the target height of what follows.
// - A backsight record (07) designates the setup's backsight, with the azimuth and the
//   circle reading it states.
// - A coordinate record (08) gives a point; so does a station record's coordinates.
// - An observation record (09) of the setup's station: slope distance, vertical angle
//   and horizontal circle of a point. One of another station belongs to no setup; one
//   of no station, to the last.
// - Job (10) and note (12, 13) records and the others are listed, not read.
// Places are line numbers from 1. Throws FormatError for a line that is not an SDR
// record, or a record whose values do not read.
#pragma once

#include "survey/Measurements.h"
#include "survey/TextRecords.h"

#include <string>
#include <string_view>

namespace stadix {

Measurements ReadSdrMeasurements(std::string_view text);

// Reads the file a line at a time, handing its setups to take as they finish, and the
// rest at its end. Throws FileError, and FormatError as the reading does.
void StreamSdrMeasurements(const std::string& path, const FinishedSetups& take);

// One line per record: what it is and its values in the file's units.
// Throws FormatError as the reading does.
std::string SdrListing(std::string_view text);

} // namespace stadix
