#include "survey/Measurements.h"

#include "base/TextFormat.h"

#include <cmath>

namespace stadix {

namespace {

constexpr double kPi = 3.14159265358979323846;

// The unit's base (second of arc, gon, mil, degree) in the full circle.
double BasesInCircle(AngleUnit unit) {
    switch (unit) {
    case AngleUnit::Gon:
        return 400;
    case AngleUnit::Mil:
        return 6400;
    case AngleUnit::DecimalDegrees:
        return 360;
    default:
        return 1296000;
    }
}

std::int64_t StepsInCircle(const Angle& angle) {
    return static_cast<std::int64_t>(BasesInCircle(angle.unit)) * PowerOfTen(angle.decimals);
}

bool AllDigits(std::string_view text) {
    for (char c : text) {
        if (!IsDigit(c))
            return false;
    }
    return true;
}

std::int64_t DigitsValue(std::string_view digits) {
    std::int64_t value = 0;
    for (char c : digits)
        value = value * 10 + (c - '0');
    return value;
}

// Degrees, then minutes and seconds as the first four decimals (missing ones are 0), then
// fractions of a second.
std::optional<Angle> ParseDmsText(std::string_view whole, std::string fraction) {
    if (fraction.size() < 4)
        fraction.append(4 - fraction.size(), '0');
    const std::int64_t minutes = DigitsValue(std::string_view(fraction).substr(0, 2));
    const std::int64_t seconds = DigitsValue(std::string_view(fraction).substr(2, 2));
    const std::string_view rest = std::string_view(fraction).substr(4);
    if (minutes >= 60 || seconds >= 60 || rest.size() > kMaxAngleDecimals)
        return std::nullopt;
    Angle angle;
    angle.decimals = static_cast<std::uint8_t>(rest.size());
    angle.steps =
        ((DigitsValue(whole) * 60 + minutes) * 60 + seconds) * PowerOfTen(angle.decimals) +
        DigitsValue(rest);
    return angle;
}

} // namespace

std::int64_t PowerOfTen(std::uint8_t exponent) {
    std::int64_t value = 1;
    for (std::uint8_t i = 0; i < exponent; ++i)
        value *= 10;
    return value;
}

Angle SecondsOfArc(std::uint32_t seconds) {
    Angle angle;
    angle.steps = seconds;
    return angle;
}

double Radians(const Angle& angle) {
    return static_cast<double>(angle.steps) * (2 * kPi / BasesInCircle(angle.unit)) /
           static_cast<double>(PowerOfTen(angle.decimals));
}

bool WithinCircle(const Angle& angle) {
    return angle.steps >= 0 && angle.steps < StepsInCircle(angle);
}

bool BeyondHalfCircle(const Angle& angle) {
    return angle.steps * 2 > StepsInCircle(angle);
}

Face FaceOfZenith(const Angle& zenith) {
    return BeyondHalfCircle(zenith) ? Face::Right : Face::Left;
}

std::optional<Angle> ParseAngleText(std::string_view text, AngleUnit unit) {
    const std::size_t point = text.find('.');
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view() : text.substr(point + 1);
    // Up to 4 whole digits and kMaxAngleDecimals keep every step count inside 64 bits.
    if (whole.empty() || whole.size() > 4 || !AllDigits(whole) || !AllDigits(fraction))
        return std::nullopt;
    if (unit == AngleUnit::DegreesMinutesSeconds)
        return ParseDmsText(whole, std::string(fraction));
    if (fraction.size() > kMaxAngleDecimals)
        return std::nullopt;
    Angle angle;
    angle.unit = unit;
    angle.decimals = static_cast<std::uint8_t>(fraction.size());
    angle.steps = DigitsValue(whole) * PowerOfTen(angle.decimals) + DigitsValue(fraction);
    return angle;
}

Angle ZenithOfElevation(const Angle& elevation) {
    Angle zenith = elevation;
    const std::int64_t circle = StepsInCircle(elevation);
    zenith.steps = ((circle / 4 - elevation.steps) % circle + circle) % circle;
    return zenith;
}

double MetresPer(CoordUnit unit) {
    return unit == CoordUnit::Metre ? 1.0 : MetresPerFoot(unit == CoordUnit::UsSurveyFoot);
}

} // namespace stadix
