#include "survey/TextRecords.h"

#include "base/TextFormat.h"

#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace stadix {

namespace {

// The longest text a message quotes.
constexpr std::size_t kQuotedLength = 40;

std::string Padded(std::int64_t value, std::size_t digits) {
    std::string text = std::to_string(value);
    if (text.size() < digits)
        text.insert(0, digits - text.size(), '0');
    return text;
}

std::string DmsText(const Angle& angle) {
    const std::int64_t scale = PowerOfTen(angle.decimals);
    const std::int64_t magnitude = std::llabs(angle.steps);
    const std::int64_t seconds = magnitude / scale;
    std::string text = Concat(angle.steps < 0 ? "-" : "", std::to_string(seconds / 3600), "°",
                              Padded(seconds / 60 % 60, 2), "'", Padded(seconds % 60, 2));
    if (angle.decimals > 0)
        text += Concat(".", Padded(magnitude % scale, angle.decimals));
    return text + "\"";
}

} // namespace

std::string DecimalText(std::int64_t steps, std::uint8_t decimals) {
    const std::int64_t scale = PowerOfTen(decimals);
    const std::string sign = steps < 0 ? "-" : "";
    const std::int64_t magnitude = std::llabs(steps);
    const std::string whole = std::to_string(magnitude / scale);
    return decimals == 0 ? sign + whole
                         : Concat(sign, whole, ".", Padded(magnitude % scale, decimals));
}

std::optional<double> ParseFiniteNumber(std::string_view text) {
    try {
        const double value = ParseStrictNumber(text);
        if (std::isfinite(value))
            return value;
    } catch (const std::exception&) {
    }
    return std::nullopt;
}

std::optional<Angle> ParseSignedAngle(std::string_view text, AngleUnit unit) {
    text = TrimView(text);
    const bool negative = !text.empty() && text[0] == '-';
    if (negative)
        text.remove_prefix(1);
    // Degrees-minutes-seconds hold minutes and seconds in their first four decimals.
    const std::size_t decimals =
        kMaxAngleDecimals + (unit == AngleUnit::DegreesMinutesSeconds ? 4 : 0);
    const std::size_t point = text.find('.');
    if (point != std::string_view::npos && text.size() - point - 1 > decimals)
        text = text.substr(0, point + 1 + decimals);
    std::optional<Angle> angle = ParseAngleText(text, unit);
    if (angle && negative)
        angle->steps = -angle->steps;
    return angle;
}

std::string AngleText(const Angle& angle) {
    switch (angle.unit) {
    case AngleUnit::Gon:
        return DecimalText(angle.steps, angle.decimals) + " gon";
    case AngleUnit::Mil:
        return DecimalText(angle.steps, angle.decimals) + " mil";
    case AngleUnit::DecimalDegrees:
        return DecimalText(angle.steps, angle.decimals) + "°";
    default:
        return DmsText(angle);
    }
}

const char* UnitSuffix(CoordUnit unit) {
    switch (unit) {
    case CoordUnit::InternationalFoot:
        return " ft";
    case CoordUnit::UsSurveyFoot:
        return " US ft";
    default:
        return " m";
    }
}

std::string Quoted(std::string_view text) {
    if (text.size() <= kQuotedLength)
        return Concat("'", text, "'");
    return Concat("'", text.substr(0, kQuotedLength), "...'");
}

std::size_t LastSetupOn(const Measurements& measurements, const std::string& station) {
    if (measurements.setups.empty() ||
        (!station.empty() && measurements.setups.back().station != station))
        return kNoSetup;
    return measurements.setups.size() - 1;
}

void StartSetup(Measurements& measurements, Setup setup, const FinishedSetups& take) {
    measurements.setups.push_back(std::move(setup));
    if (!take || measurements.setups.size() == 1)
        return;
    take(measurements, measurements.setups.size() - 1);
    measurements.setups.erase(measurements.setups.begin(), measurements.setups.end() - 1);
    measurements.observations.clear();
    measurements.givenPoints.clear();
    measurements.unread.clear();
}

} // namespace stadix
