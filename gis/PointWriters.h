// Points written into the GIS and design formats, each file whole or not at all.
#pragma once

#include "gis/GisFormats.h"
#include "gis/ReferenceSystem.h"

#include <memory>
#include <optional>
#include <string>

namespace stadix {

class GisPointWriter {
  public:
    virtual ~GisPointWriter() = default;
    // Adds the point, or refuses it (a transformation that cannot be done, a name or code
    // that is not UTF-8 text); the refused points are told by Commit. Throws FileError.
    virtual void Add(const GisPoint& point) = 0;
    // Puts the file in place whole, a Shapefile's files all together. Throws
    // PointsRefused when a point was refused and FileError when the file cannot be
    // written; nothing is then left of it, and an older file (set) stays as it was.
    virtual void Commit() = 0;
};

// A writer of the format to path (a Shapefile: its .shp). The points are in system;
// without one (GeoPackage, Shapefile and LandXML only) the file names none. Throws
// FileError when the file cannot be made.
std::unique_ptr<GisPointWriter> OpenGisPointWriter(GisFormat format, const std::string& path,
                                                   const std::optional<ReferenceSystem>& system);

// Removes what the writes in progress have made so far. Safe to call from a signal
// handler, so that a program ended by a signal leaves nothing behind.
void RemoveGisWritesInProgress();

} // namespace stadix
