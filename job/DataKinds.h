// The kinds of data a job holds and a transfer carries: the format the data came in,
// the coordinate unit, and the foot factors of the units.
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

} // namespace stadix
