// The coordinate reference system that a job's northings, eastings and heights are in,
// named by an authority code as PROJ knows it ("EPSG:25833").
#pragma once

#include <memory>
#include <stdexcept>
#include <string>

namespace stadix {

// A code that names no reference system a job can be in.
class UnknownReferenceSystem : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

class ReferenceSystem {
  public:
    // Throws UnknownReferenceSystem for a text that is not an authority code, a code that
    // PROJ does not know, and a system that is not projected (a job holds northings and
    // eastings, not longitudes and latitudes).
    explicit ReferenceSystem(const std::string& authorityCode);

    const std::string& Code() const { return code_; } // as given: "EPSG:25833"
    std::string Name() const;                         // "ETRS89 / UTM zone 33N"
    std::string EpsgCode() const; // "25833"; empty for another authority's system

    // What gis/ keeps of the system (GdalSupport.h).
    struct Held;
    const Held& Internals() const { return *held_; }

  private:
    std::string code_;
    std::shared_ptr<const Held> held_;
};

} // namespace stadix
