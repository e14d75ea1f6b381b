// Coordinates received as GTS or SSS text become record lines.
#pragma once

#include <string>
#include <vector>

namespace stadix {

// Replaces the received text in lines by record lines: dataFormat 1 reads the GTS
// coordinate stream, 2 the SSS comma lines (a line that is not one is dropped); any
// other value leaves the list as it is. A coordinate that does not convert throws
// ConversionError; the record lines made before it stay in the list.
void ConvertReceivedCoordinates(std::vector<std::string>& lines, int dataFormat);

} // namespace stadix
