// The measurements of a raw record store: STN records start setups, BS records
// designate backsights, DIST and ANG records are observations, CRD and PT records give
// points. Each BS, DIST and ANG record belongs to the last STN record of its station
// group stored before it, or to the group's first one when none is.
#pragma once

#include "survey/Measurements.h"

#include <string_view>

namespace stadix {

// Reads the store from a fresh decoding state, applying INST and UNIT records as they
// come. A trailing partial record is ignored. Places are record numbers from 1.
Measurements ReadRawMeasurements(std::string_view store);

} // namespace stadix
