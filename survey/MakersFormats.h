// Other makers' raw files: the word and extension of each kind, its name, and its
// reader and listing.
#pragma once

#include "survey/Measurements.h"
#include "survey/TextRecords.h"

#include <string>
#include <string_view>
#include <vector>

namespace stadix {

struct MakersFormat {
    const char* word;      // "gsi", "sdr", "rw5"
    const char* extension; // upper case, with its dot
    const char* name;      // "Leica GSI", as "not a Leica GSI file" names it
    Measurements (*read)(std::string_view text);
    void (*stream)(const std::string& path, const FinishedSetups& take);
    std::string (*listing)(std::string_view text);
};

const std::vector<MakersFormat>& MakersFormats();

// The format of that word; nullptr for any other.
const MakersFormat* FindMakersFormat(std::string_view word);

} // namespace stadix
