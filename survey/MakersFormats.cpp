#include "survey/MakersFormats.h"

#include "survey/GsiMeasurements.h"
#include "survey/Rw5Measurements.h"
#include "survey/SdrMeasurements.h"

namespace stadix {

const std::vector<MakersFormat>& MakersFormats() {
    static const std::vector<MakersFormat> kFormats = {
        {"gsi", ".GSI", "Leica GSI", &ReadGsiMeasurements, &StreamGsiMeasurements, &GsiListing},
        {"sdr", ".SDR", "Sokkia SDR33", &ReadSdrMeasurements, &StreamSdrMeasurements, &SdrListing},
        {"rw5", ".RW5", "Carlson RW5", &ReadRw5Measurements, &StreamRw5Measurements, &Rw5Listing},
    };
    return kFormats;
}

const MakersFormat* FindMakersFormat(std::string_view word) {
    for (const MakersFormat& format : MakersFormats()) {
        if (word == format.word)
            return &format;
    }
    return nullptr;
}

} // namespace stadix
