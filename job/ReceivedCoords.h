// Coordinates received as GTS or SSS text become record lines.
#pragma once

#include "job/DataKinds.h"

#include <string>
#include <vector>

namespace stadix {

// Replaces the received text in lines by record lines: GTS reads the coordinate
// stream, SSS the comma lines (a line that is not one is dropped); KVR leaves the list
// as it is. A coordinate that does not convert throws ConversionError; the record
// lines made before it stay in the list.
void ConvertReceivedCoordinates(std::vector<std::string>& lines, DataFormat dataFormat);

} // namespace stadix
