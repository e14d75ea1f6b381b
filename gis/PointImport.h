// The points of a GIS file taken into a job: the first point layer of a GeoPackage,
// Shapefile, GeoJSON or KML file, transformed into the job's reference system.
#pragma once

#include "gis/GisFormats.h"
#include "gis/ReferenceSystem.h"

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace stadix {

// A text longer than a record line holds, and what the line holds of it.
struct CutText {
    std::string text;
    std::string cut;
};

struct GisImport {
    std::vector<std::string> recordLines; // in the file's order
    std::vector<CutText> cutNames;
    std::vector<CutText> cutCodes;
    std::size_t featuresLeftOut = 0; // features of the layer that are not points
    bool takenAsTheyAre = false;     // the file names no reference system to transform from
};

// Reads the points of the first point layer of the file, in the format given: the name
// from a field called name (else the feature's id), the code from a field called code,
// both cut to the 8 characters of a record line. With a system, the points are
// transformed into it; without one, a file of longitudes and latitudes cannot be taken.
// Throws GisInputError, and PointsRefused for points that cannot be transformed or do
// not fit a record line: nothing is then returned.
GisImport ImportGisPoints(const std::string& path, GisFormat format,
                          const std::optional<ReferenceSystem>& system);

// What to tell the user of an import, a line each: the names and codes cut, the
// features left out, and coordinates taken as they are into system.
std::vector<std::string> ImportNotes(const GisImport& imported,
                                     const std::optional<ReferenceSystem>& system);

} // namespace stadix
