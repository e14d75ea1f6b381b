#include "gis/ReferenceSystem.h"

#include "gis/GdalSupport.h"

#include <cstring>

namespace stadix {

namespace {

bool IsCodeCharacter(char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_' ||
           c == '.';
}

// AUTHORITY:CODE, such as "EPSG:25833"; nothing else that PROJ would also take (a WKT
// text, a PROJ string, a file name).
bool IsAuthorityCode(const std::string& text) {
    const std::size_t colon = text.find(':');
    if (colon == std::string::npos || colon == 0 || colon + 1 == text.size())
        return false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (i != colon && !IsCodeCharacter(text[i]))
            return false;
    }
    return true;
}

} // namespace

ReferenceSystem::ReferenceSystem(const std::string& authorityCode) : code_(authorityCode) {
    StartGdal();
    if (!IsAuthorityCode(authorityCode))
        throw UnknownReferenceSystem("Not an authority code such as EPSG:25833: " + authorityCode);
    auto held = std::make_shared<Held>();
    if (held->srs.SetFromUserInput(authorityCode.c_str(),
                                   OGRSpatialReference::SET_FROM_USER_INPUT_LIMITATIONS_get()) !=
        OGRERR_NONE)
        throw UnknownReferenceSystem("Unknown reference system " + authorityCode + ": " +
                                     GdalMessage("PROJ does not know it."));
    if (!held->srs.IsProjected())
        throw UnknownReferenceSystem(authorityCode + " (" + held->srs.GetName() +
                                     ") is not a projected reference system: a job holds "
                                     "northings and eastings.");
    held->srs.SetAxisMappingStrategy(OAMS_TRADITIONAL_GIS_ORDER);
    held_ = std::move(held);
}

std::string ReferenceSystem::Name() const {
    return held_->srs.GetName();
}

std::string ReferenceSystem::EpsgCode() const {
    const char* authority = held_->srs.GetAuthorityName(nullptr);
    const char* code = held_->srs.GetAuthorityCode(nullptr);
    return authority && code && std::strcmp(authority, "EPSG") == 0 ? std::string(code)
                                                                    : std::string();
}

} // namespace stadix
