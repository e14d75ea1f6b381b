// The measurement model: station setups, their designated backsights and the
// observations made from them, as any reader fills it (raw records, SSS text, other
// makers' files). Lengths are held in metres; angles as their source holds them.
#pragma once

#include "job/DataKinds.h"

#include <cstddef>
#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace stadix {

// The units an angle may be read in. The steps of an Angle are seconds of arc for
// degrees-minutes-seconds, and gon, mil (6400 to the circle) or degrees otherwise.
enum class AngleUnit { DegreesMinutesSeconds, Gon, Mil, DecimalDegrees };

// An angle exactly as its source holds it: a whole number of steps of 10^-decimals of
// the unit's base, so that nothing is lost until Radians converts it once.
struct Angle {
    std::int64_t steps = 0;
    AngleUnit unit = AngleUnit::DegreesMinutesSeconds;
    std::uint8_t decimals = 0;
};

constexpr std::uint8_t kMaxAngleDecimals = 8;

// 10 to the exponent: the steps of a whole unit of an Angle of that many decimals.
std::int64_t PowerOfTen(std::uint8_t exponent);

// A raw record's angle: whole seconds of arc.
Angle SecondsOfArc(std::uint32_t seconds);
double Radians(const Angle& angle);
// Whether the angle lies in [0, full circle).
bool WithinCircle(const Angle& angle);
// Whether the angle is more than half a circle: a zenith angle read in face right.
bool BeyondHalfCircle(const Angle& angle);

// An angle text in the unit: degrees-minutes-seconds as "ddd.mmss" with any further
// digits tenths, hundredths... of a second; the others as decimal numbers. None for a
// text that is not such an angle (signs, exponents, minutes or seconds of 60 or more).
std::optional<Angle> ParseAngleText(std::string_view text, AngleUnit unit);

// The zenith angle of a vertical angle read from the horizon (quarter circle less it),
// brought into [0, full circle).
Angle ZenithOfElevation(const Angle& elevation);

// Metres in one of the unit.
double MetresPer(CoordUnit unit);

// A file that is not of its kind: the line that failed and why.
class FormatError : public std::runtime_error {
  public:
    FormatError(std::size_t line, const std::string& why)
        : std::runtime_error("Line " + std::to_string(line) + ": " + why), line(line) {}
    std::size_t line;
};

// Metres north, east and up.
struct Position {
    double north = 0;
    double east = 0;
    double elevation = 0;
};

// The coordinates a station or backsight record gives. Instruments store zeros for
// coordinates never entered, so zeros from such a record yield to a point known by the
// record's name.
struct RecordedCoordinates {
    std::optional<Position> position; // none: the record holds no coordinates
    bool zerosMayBePlaceholder = false;
};

// What a backsight record states of the circle: the backsight's azimuth and the circle
// reading on it. It orients the setup when no observed backsight can.
struct StatedDirection {
    Angle azimuth;
    Angle circle;
};

struct DesignatedBacksight {
    std::string point; // empty: a direction stated by azimuth alone
    RecordedCoordinates coordinates;
    std::optional<StatedDirection> stated;
};

struct Setup {
    std::string station; // any length
    std::string code;
    RecordedCoordinates coordinates;
    double instrumentHeight = 0;
    std::vector<DesignatedBacksight> backsights;
    std::size_t place = 0;             // where the setup starts in the input (see Measurements)
    CoordUnit unit = CoordUnit::Metre; // the distance unit the file shows there
};

enum class Face { Left, Right };

constexpr std::size_t kNoSetup = std::numeric_limits<std::size_t>::max();

struct Observation {
    std::string point; // any length
    std::string code;
    double targetHeight = 0;
    Angle horizontal; // the circle reading
    Angle zenith;
    std::optional<double> slopeDistance; // none: angles only
    // Set when the instrument height changed inside the setup before this observation.
    std::optional<double> instrumentHeight;
    std::size_t setup = kNoSetup; // index into Measurements::setups
    std::size_t place = 0;
    Face face = Face::Left;
    CoordUnit unit = CoordUnit::Metre;
};

// A point whose coordinates the input states (a coordinate record or item).
struct GivenPoint {
    std::string name;
    Position position;
    std::string code;
    std::size_t place = 0;
    CoordUnit unit = CoordUnit::Metre; // the distance unit the file shows there
};

// What a reader could not take, for the report.
struct UnreadItem {
    std::size_t place = 0;
    std::string what;
};

struct Measurements {
    std::vector<Setup> setups;             // in input order
    std::vector<Observation> observations; // in input order
    std::vector<GivenPoint> givenPoints;   // in input order
    std::vector<UnreadItem> unread;
    // What a place counts: "record" (from 1) in a measurement file, "line" in a text.
    std::string placeWord = "record";
};

// The face of a zenith angle: right beyond half a circle.
Face FaceOfZenith(const Angle& zenith);

} // namespace stadix
