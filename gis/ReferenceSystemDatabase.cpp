// The projected reference systems of PROJ's database, read through GDAL.
#include "gis/GdalSupport.h"
#include "gis/ReferenceSystemCatalog.h"

#include <memory>
#include <ogr_srs_api.h>

namespace stadix {

std::vector<ReferenceSystemListing> ProjectedReferenceSystems() {
    StartGdal();
    int count = 0;
    const std::unique_ptr<OSRCRSInfo*, void (*)(OSRCRSInfo**)> list(
        OSRGetCRSInfoListFromDatabase(nullptr, nullptr, &count), OSRDestroyCRSInfoList);
    std::vector<ReferenceSystemListing> listings;
    for (int i = 0; list && i < count; ++i) {
        const OSRCRSInfo& info = *list.get()[i];
        // The IAU's authorities name the systems of the other planets and their moons.
        if (info.eType != OSR_CRS_TYPE_PROJECTED || info.bDeprecated ||
            std::string(info.pszAuthName).rfind("IAU", 0) == 0)
            continue;
        listings.push_back({std::string(info.pszAuthName) + ":" + info.pszCode, info.pszName});
    }
    return listings;
}

} // namespace stadix
