// The table of the GIS module: the implementation of gis/ behind the loader's functions.
#include "base/FileIO.h"
#include "gis/GisModule.h"

namespace {

void RemoveWritesInProgress() {
    stadix::RemoveGisWritesInProgress();
    // The module holds its own copy of the table of temporary files.
    stadix::RemoveTemporaryFilesInProgress();
}

stadix::ReferenceSystem MakeReferenceSystem(const std::string& authorityCode) {
    return stadix::ReferenceSystem(authorityCode);
}

std::string SystemName(const stadix::ReferenceSystem& system) {
    return system.Name();
}

std::string SystemEpsgCode(const stadix::ReferenceSystem& system) {
    return system.EpsgCode();
}

} // namespace

extern "C" __attribute__((visibility("default"))) const stadix::GisModule* stadix_gis_module() {
    static const stadix::GisModule table{&stadix::OpenGisPointWriter,
                                         &RemoveWritesInProgress,
                                         &stadix::ImportGisPoints,
                                         &MakeReferenceSystem,
                                         &SystemName,
                                         &SystemEpsgCode,
                                         &stadix::ProjectedReferenceSystems};
    return &table;
}
