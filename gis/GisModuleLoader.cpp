// The functions of gis/ that reach GDAL, given by the GIS module, which is loaded at the
// first of them from the program's own folder: <bin>/../lib/stadix, both where it is
// installed and in the build folder.
#include "gis/GisModule.h"

#include <dlfcn.h>
#include <unistd.h>

#include <atomic>

namespace stadix {

namespace {

// The module's table once it is loaded, for the signal handlers' clean-up.
std::atomic<const GisModule*> loadedModule{nullptr};

std::string ModulePath() {
    char program[4096];
    const ssize_t length = readlink("/proc/self/exe", program, sizeof program);
    if (length <= 0 || length == static_cast<ssize_t>(sizeof program))
        return kGisModuleFile; // the library search path
    const std::string path(program, static_cast<std::size_t>(length));
    return path.substr(0, path.rfind('/')) + "/../lib/stadix/" + kGisModuleFile;
}

struct LoadedModule {
    const GisModule* table = nullptr;
    std::string failure; // why it was not loaded
};

LoadedModule LoadModule() {
    const std::string path = ModulePath();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle)
        return {nullptr, dlerror()};
    const auto entry = reinterpret_cast<GisModuleEntry>(dlsym(handle, kGisModuleEntry));
    if (!entry)
        return {nullptr, dlerror()};
    const GisModule* table = entry();
    loadedModule.store(table);
    return {table, {}};
}

const GisModule& Module() {
    static const LoadedModule loaded = LoadModule();
    if (!loaded.table)
        throw GisModuleMissing("The GIS formats cannot be used: " + loaded.failure);
    return *loaded.table;
}

} // namespace

std::unique_ptr<GisPointWriter> OpenGisPointWriter(GisFormat format, const std::string& path,
                                                   const std::optional<ReferenceSystem>& system) {
    return Module().openPointWriter(format, path, system);
}

void RemoveGisWritesInProgress() {
    if (const GisModule* module = loadedModule.load())
        module->removeWritesInProgress();
}

GisImport ImportGisPoints(const std::string& path, GisFormat format,
                          const std::optional<ReferenceSystem>& system) {
    return Module().importPoints(path, format, system);
}

ReferenceSystem::ReferenceSystem(const std::string& authorityCode)
    : ReferenceSystem(Module().referenceSystem(authorityCode)) {}

std::string ReferenceSystem::Name() const {
    return Module().systemName(*this);
}

std::string ReferenceSystem::EpsgCode() const {
    return Module().systemEpsgCode(*this);
}

std::vector<ReferenceSystemListing> ProjectedReferenceSystems() {
    return Module().projectedReferenceSystems();
}

} // namespace stadix
