// The LandXML 1.2 writer of points (CgPoints), behind OpenGisPointWriter. Only gis/
// includes this header.
#pragma once

#include "gis/PointWriters.h"

namespace stadix {

std::unique_ptr<GisPointWriter> OpenLandXmlWriter(const std::string& path,
                                                  const std::optional<ReferenceSystem>& system);

} // namespace stadix
