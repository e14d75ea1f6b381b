// The report of a reduction, for the surveyor to check and file: per setup the station,
// its coordinates and instrument height, the orientation and each backsight's residual,
// the points computed and the observations left out with their reasons; then the points
// computed in more than one setup with the spread of their positions.
#pragma once

#include "survey/Reduction.h"

#include <string>

namespace stadix {

// UTF-8 text, lines ending in LF.
std::string ReductionReport(const Measurements& measurements, const ReductionOptions& options,
                            const Reduction& reduction);

} // namespace stadix
