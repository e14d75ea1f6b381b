// The GIS formats of export, convert and import: points in a named reference system.
#pragma once

#include "cli/CliSupport.h"

#include <string>

namespace cli {

// Whether export writes the format word (gpkg, shp, geojson, kml, landxml) through gis/.
bool IsGisFormat(const std::string& word);
// Whether import reads it (all of them but landxml).
bool IsGisImportFormat(const std::string& word);

// The option that names the points' reference system.
extern const char* const kCrsOption;

// --crs with a format that holds no reference system: Failure(kUsage).
void RefuseCrsOption(const Arguments& args);

// The verbs' work for these formats, after the verbs have checked their arguments.
int ExportGis(const Arguments& args);
int ConvertToGis(const Arguments& args);
int ImportGis(const Arguments& args);

} // namespace cli
