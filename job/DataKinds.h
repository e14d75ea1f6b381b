// The kinds of data a job holds and a transfer carries: the format the data came in,
// the coordinate unit, the foot factors of the units, and how its raw records are read.
#pragma once

namespace stadix {

// The instrument's binary format, and the GTS and SSS text formats.
enum class DataFormat { Kvr, Gts, Sss };

enum class CoordUnit { Metre, InternationalFoot, UsSurveyFoot };

// Feet in one metre: 1 / 0.3048 for the international foot, 3937 / 1200 for the US
// survey foot.
constexpr double FeetPerMetre(bool usSurveyFoot) {
    return usSurveyFoot ? 3.2808333333333246 : 3.280839895013123;
}

// Metres in one foot.
constexpr double MetresPerFoot(bool usSurveyFoot) {
    return usSurveyFoot ? 0.30480060960122 : 0.3048;
}

// How the numbers of raw records are read and shown. Each job holds its own, changed
// by the INST and UNIT records as they are rendered and by the card import.
struct DecodeState {
    bool bigEndian = true;     // multi-byte fields most significant byte first
    bool feetDisplay = false;  // lengths and coordinates shown in feet
    bool usSurveyFeet = false; // with feetDisplay: US survey foot, else international
    int angleUnit = 0;         // 0 degrees-minutes-seconds, 1 gon, 2 mil
};

// The byte order of the SD card and USB disk files.
enum class CardByteOrder { BigEndian, LittleEndian };

} // namespace stadix
