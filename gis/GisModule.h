// The part of gis/ that needs GDAL, PROJ and libxml2 is built as a module of its own and
// loaded when a program first exchanges a GIS file: those libraries (about a hundred
// with what they need) would otherwise be loaded at every start of every program.
// Programs link the loader, which gives the functions of PointWriters.h, PointImport.h,
// ReferenceSystem.h and ProjectedReferenceSystems by calling into the module; the module and the
// tests link the implementation itself.
#pragma once

#include "base/Errors.h"
#include "gis/PointImport.h"
#include "gis/PointWriters.h"
#include "gis/ReferenceSystem.h"
#include "gis/ReferenceSystemCatalog.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace stadix {

// What the module offers, one entry for each function of gis/ that reaches GDAL.
struct GisModule {
    std::unique_ptr<GisPointWriter> (*openPointWriter)(GisFormat, const std::string&,
                                                       const std::optional<ReferenceSystem>&);
    // Also removes the module's own temporary files: it may be called from a signal handler.
    void (*removeWritesInProgress)();
    GisImport (*importPoints)(const std::string&, GisFormat, const std::optional<ReferenceSystem>&);
    ReferenceSystem (*referenceSystem)(const std::string& authorityCode);
    std::string (*systemName)(const ReferenceSystem&);
    std::string (*systemEpsgCode)(const ReferenceSystem&);
    std::vector<ReferenceSystemListing> (*projectedReferenceSystems)();
};

// The module's file name, and the function that gives its table.
constexpr const char* kGisModuleFile = "stadix_gis_module.so";
constexpr const char* kGisModuleEntry = "stadix_gis_module";
using GisModuleEntry = const GisModule* (*)();

// The module's file could not be loaded: the GIS formats cannot be used.
class GisModuleMissing : public FileError {
  public:
    using FileError::FileError;
};

} // namespace stadix
