// The reference systems a job can be in, as PROJ's database lists them, and the search
// over them by code or name that the window's choice of a system shows.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace stadix {

struct ReferenceSystemListing {
    std::string code; // "EPSG:25833"
    std::string name; // "ETRS89 / UTM zone 33N"
    // "EPSG:25833  ETRS89 / UTM zone 33N"
    std::string Label() const;
};

// The projected systems of PROJ's database that are not deprecated, of the Earth (not
// another body's), in the database's order.
std::vector<ReferenceSystemListing> ProjectedReferenceSystems();

class ReferenceSystemCatalog {
  public:
    // ProjectedReferenceSystems(). Reading them takes a while (a tenth of a second):
    // make the catalog once and search it many times.
    ReferenceSystemCatalog();

    const std::vector<ReferenceSystemListing>& Listings() const { return listings_; }

    // The positions in Listings() of the systems that text finds: each of its words is
    // in the label, letters in either case. A system whose code is the text, with or
    // without its authority, comes first. Every system for a text of no words.
    std::vector<std::size_t> Find(const std::string& text) const;

  private:
    std::vector<ReferenceSystemListing> listings_;
    std::vector<std::string> lowerLabels_;
};

} // namespace stadix
