#include "survey/ReductionReport.h"

#include "base/TextFormat.h"
#include "survey/TextRecords.h"

#include <algorithm>
#include <cmath>

namespace stadix {

namespace {

constexpr double kPi = 3.14159265358979323846;

std::string Length(double metres, CoordUnit unit) {
    return FormatFixed(metres / MetresPer(unit), 3);
}

std::string Coordinates(const Position& p, CoordUnit unit) {
    return Concat("N ", Length(p.north, unit), "  E ", Length(p.east, unit), "  Z ",
                  Length(p.elevation, unit), UnitSuffix(unit));
}

// Degrees, minutes and seconds with a tenth, the angle brought into [0, 360).
std::string DegreesMinutesSeconds(double radians) {
    double tenths = std::round(std::fmod(radians + 4 * kPi, 2 * kPi) * 6480000 / kPi);
    if (tenths >= 12960000)
        tenths -= 12960000;
    const auto total = static_cast<long long>(tenths);
    const std::string seconds = FormatFixed(static_cast<double>(total % 600) / 10, 1);
    return Concat(std::to_string(total / 36000), "°", (total / 600 % 60 < 10 ? "0" : ""),
                  std::to_string(total / 600 % 60), "'", (total % 600 < 100 ? "0" : ""), seconds,
                  "\"");
}

// "1 observation", "2 observations".
std::string Observations(std::size_t count) {
    return Concat(std::to_string(count), count == 1 ? " observation" : " observations");
}

std::string Signed(double value, int decimals) {
    const std::string text = FormatFixed(value, decimals);
    return text[0] == '-' ? text : "+" + text;
}

} // namespace

ReductionReportWriter::ReductionReportWriter(const ReductionOptions& options, std::string placeWord,
                                             Write write)
    : placeWord_(std::move(placeWord)), write_(std::move(write)) {
    text_ = Concat("Coordinates from measurements\nScale factor: ", FormatFixed(options.scale, 6),
                   "\nCurvature and refraction: ",
                   options.refraction
                       ? Concat("applied, coefficient ", FormatFixed(*options.refraction, 2))
                       : std::string("not applied"),
                   "\n");
    Emit();
}

void ReductionReportWriter::Emit() {
    write_(text_);
    text_.clear();
}

std::string ReductionReportWriter::Place(std::size_t place) const {
    return Concat(placeWord_, " ", std::to_string(place));
}

void ReductionReportWriter::AddSetup(const Setup& setup, const SetupResult& result) {
    text_ += Concat("\nSetup ", std::to_string(++setups_), ": station ", setup.station, " (",
                    Place(setup.place), ")\n");
    if (!result.station) {
        text_ += "  Station coordinates not known: nothing computed.\n";
    } else {
        text_ +=
            Concat("  Station: ", Coordinates(*result.station, setup.unit), ", instrument height ",
                   Length(setup.instrumentHeight, setup.unit), UnitSuffix(setup.unit), "\n");
        if (!result.stationSource.empty())
            text_ += Concat("  Coordinates taken from point ", result.stationSource, "\n");
        Orientation(setup, result);
        Points(result);
    }
    LeftOutList("Left out", result.leftOut, "  ");
    Emit();
}

void ReductionReportWriter::Orientation(const Setup& setup, const SetupResult& result) {
    if (result.orientationStatedBy)
        text_ += Concat("  Orientation: ", DegreesMinutesSeconds(*result.orientation),
                        ", as the backsight record",
                        result.orientationStatedBy->empty()
                            ? std::string()
                            : Concat(" of ", *result.orientationStatedBy),
                        " states it (azimuth less circle reading)\n");
    else if (result.orientation)
        text_ += Concat("  Orientation: ", DegreesMinutesSeconds(*result.orientation), "\n");
    else
        text_ += "  Orientation: none, circle as read\n";
    for (const BacksightCheck& backsight : result.backsights) {
        text_ += Concat("  Backsight ", backsight.point, ": ");
        if (backsight.residualSeconds)
            text_ += Concat("residual ", Signed(*backsight.residualSeconds, 1), "\" (",
                            Observations(backsight.observations), ", ",
                            Length(backsight.distance, setup.unit), UnitSuffix(setup.unit), ")\n");
        else
            text_ += Concat("not used, ", backsight.unusedReason, "\n");
    }
}

void ReductionReportWriter::Points(const SetupResult& result) {
    text_ += Concat("  Points computed: ", std::to_string(result.points.size()), "\n");
    for (const SetupPoint& point : result.points)
        text_ += Concat("    ", point.name, "  ", Coordinates(point.position, point.unit), "  (",
                        Observations(point.observations), ")\n");
}

void ReductionReportWriter::LeftOutList(const char* title, const std::vector<LeftOut>& list,
                                        const char* indent) {
    if (list.empty())
        return;
    // Lists of a setup stand in its block; the others are paragraphs of their own.
    text_ += Concat(*indent ? "" : "\n", indent, title, ":\n");
    for (const LeftOut& item : list)
        text_ += Concat(indent, "  ", item.name, " (", Place(item.place), "): ", item.reason, "\n");
}

void ReductionReportWriter::Spreads(const std::vector<PointSpread>& spreads) {
    if (spreads.empty())
        return;
    text_ += "\nPoints computed in more than one setup:\n";
    for (const PointSpread& spread : spreads)
        text_ += Concat("  ", spread.name, "  ", std::to_string(spread.setups),
                        " setups, horizontal spread ", Length(spread.horizontal, spread.unit),
                        ", height spread ", Length(spread.height, spread.unit),
                        UnitSuffix(spread.unit), "\n");
}

void ReductionReportWriter::CutNames(const std::vector<CutName>& cuts) {
    if (cuts.empty())
        return;
    text_ += "\nNames cut to 8 characters:\n";
    for (const CutName& cut : cuts)
        text_ += Concat("  ", cut.name, " -> ", cut.cut, "\n");
}

void ReductionReportWriter::Unread(const std::vector<UnreadItem>& unread) {
    if (unread.empty())
        return;
    text_ += "\nNot read:\n";
    for (const UnreadItem& item : unread)
        text_ += Concat("  ", Place(item.place), ": ", item.what, "\n");
}

void ReductionReportWriter::End(const ReductionSummary& summary,
                                const std::vector<UnreadItem>& unread, std::size_t written) {
    LeftOutList("Observations outside any setup", summary.outsideSetups);
    Spreads(summary.spreads);
    CutNames(summary.cutNames);
    LeftOutList("Not written", summary.notWritten);
    Unread(unread);
    text_ += Concat("\nWritten: ", std::to_string(written), " records (stations and points).\n");
    Emit();
}

std::string ReductionReport(const Measurements& measurements, const ReductionOptions& options,
                            const Reduction& reduction) {
    std::string text;
    ReductionReportWriter writer(options, measurements.placeWord,
                                 [&text](std::string_view piece) { text += piece; });
    for (std::size_t s = 0; s < measurements.setups.size(); ++s)
        writer.AddSetup(measurements.setups[s], reduction.setups[s]);
    writer.End(reduction, measurements.unread, reduction.recordLines.size());
    return text;
}

} // namespace stadix
