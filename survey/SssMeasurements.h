// The measurements of SSS text: what the SSS transfer receives and the SSS export
// writes. A STN item starts a setup, each SS item after it is an observation (with an
// SD line: angles and slope distance; with HV: angles only; with XYZ: a given point),
// a BS item designates a backsight, and the UNITS line says the units of what follows
// (its F is read as the international foot: the text does not say which foot).
#pragma once

#include "survey/Measurements.h"

#include <string_view>

namespace stadix {

// Reads the text, lines ending in CR LF, LF or CR. Places are line numbers from 1.
Measurements ReadSssMeasurements(std::string_view text);

} // namespace stadix
