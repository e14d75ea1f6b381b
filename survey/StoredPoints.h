// The points whose coordinates a file stores (another maker's coordinate, station or
// stored point records), as the record lines of a job.
#pragma once

#include "survey/Measurements.h"
#include "survey/Reduction.h"

#include <string>
#include <vector>

namespace stadix {

struct StoredPointLines {
    std::vector<std::string> lines;
    std::vector<CutName> cutNames; // names longer than a record line's, and what they became
};

// The given points of the measurements in input order, each in the distance unit of the
// file where it stands. Throws ConversionError for a value a record line cannot hold.
StoredPointLines StoredPointRecordLines(const Measurements& measurements);

} // namespace stadix
