#include "survey/ReductionReport.h"

#include "base/TextFormat.h"
#include "survey/TextRecords.h"

#include <algorithm>
#include <cmath>
#include <map>

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

class ReportWriter {
  public:
    ReportWriter(const Measurements& measurements, const ReductionOptions& options,
                 const Reduction& reduction)
        : measurements_(measurements), options_(options), reduction_(reduction) {}

    std::string Write() {
        Heading();
        for (std::size_t s = 0; s < measurements_.setups.size(); ++s)
            SetupBlock(s);
        LeftOutList("Observations outside any setup", reduction_.outsideSetups);
        Spreads();
        CutNames();
        LeftOutList("Not written", reduction_.notWritten);
        Unread();
        text_ += Concat("\nWritten: ", std::to_string(reduction_.recordLines.size()),
                        " records (stations and points).\n");
        return std::move(text_);
    }

  private:
    std::string Place(std::size_t place) const {
        return Concat(measurements_.placeWord, " ", std::to_string(place));
    }

    void Heading() {
        text_ +=
            Concat("Coordinates from measurements\nScale factor: ", FormatFixed(options_.scale, 6),
                   "\nCurvature and refraction: ",
                   options_.refraction
                       ? Concat("applied, coefficient ", FormatFixed(*options_.refraction, 2))
                       : std::string("not applied"),
                   "\n");
    }

    void SetupBlock(std::size_t s) {
        const Setup& setup = measurements_.setups[s];
        const SetupResult& result = reduction_.setups[s];
        text_ += Concat("\nSetup ", std::to_string(s + 1), ": station ", setup.station, " (",
                        Place(setup.place), ")\n");
        if (!result.station) {
            text_ += "  Station coordinates not known: nothing computed.\n";
        } else {
            text_ += Concat("  Station: ", Coordinates(*result.station, setup.unit),
                            ", instrument height ", Length(setup.instrumentHeight, setup.unit),
                            UnitSuffix(setup.unit), "\n");
            if (!result.stationSource.empty())
                text_ += Concat("  Coordinates taken from point ", result.stationSource, "\n");
            Orientation(setup, result);
            Points(result);
        }
        LeftOutList("Left out", result.leftOut, "  ");
    }

    void Orientation(const Setup& setup, const SetupResult& result) {
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
                text_ +=
                    Concat("residual ", Signed(*backsight.residualSeconds, 1), "\" (",
                           Observations(backsight.observations), ", ",
                           Length(backsight.distance, setup.unit), UnitSuffix(setup.unit), ")\n");
            else
                text_ += Concat("not used, ", backsight.unusedReason, "\n");
        }
    }

    void Points(const SetupResult& result) {
        text_ += Concat("  Points computed: ", std::to_string(result.points.size()), "\n");
        for (const SetupPoint& setupPoint : result.points) {
            const Observation& first = *reduction_.points[setupPoint.point].first;
            text_ += Concat("    ", first.point, "  ", Coordinates(setupPoint.position, first.unit),
                            "  (", Observations(setupPoint.observations), ")\n");
        }
    }

    void LeftOutList(const char* title, const std::vector<LeftOut>& list, const char* indent = "") {
        if (list.empty())
            return;
        // Lists of a setup stand in its block; the others are paragraphs of their own.
        text_ += Concat(*indent ? "" : "\n", indent, title, ":\n");
        for (const LeftOut& item : list)
            text_ +=
                Concat(indent, "  ", item.name, " (", Place(item.place), "): ", item.reason, "\n");
    }

    // The largest horizontal distance between two of a point's positions, and the range
    // of its heights.
    void Spreads() {
        std::map<std::size_t, std::vector<Position>> positions;
        for (const SetupResult& setup : reduction_.setups) {
            for (const SetupPoint& setupPoint : setup.points) {
                if (reduction_.points[setupPoint.point].setups > 1)
                    positions[setupPoint.point].push_back(setupPoint.position);
            }
        }
        if (positions.empty())
            return;
        text_ += "\nPoints computed in more than one setup:\n";
        for (const auto& [index, list] : positions) {
            double horizontal = 0;
            double low = list.front().elevation;
            double high = low;
            for (std::size_t i = 0; i < list.size(); ++i) {
                for (std::size_t j = i + 1; j < list.size(); ++j)
                    horizontal = std::max(horizontal, std::hypot(list[i].north - list[j].north,
                                                                 list[i].east - list[j].east));
                low = std::min(low, list[i].elevation);
                high = std::max(high, list[i].elevation);
            }
            const Observation& first = *reduction_.points[index].first;
            text_ += Concat("  ", first.point, "  ", std::to_string(list.size()),
                            " setups, horizontal spread ", Length(horizontal, first.unit),
                            ", height spread ", Length(high - low, first.unit),
                            UnitSuffix(first.unit), "\n");
        }
    }

    void CutNames() {
        if (reduction_.cutNames.empty())
            return;
        text_ += "\nNames cut to 8 characters:\n";
        for (const CutName& cut : reduction_.cutNames)
            text_ += Concat("  ", cut.name, " -> ", cut.cut, "\n");
    }

    void Unread() {
        if (measurements_.unread.empty())
            return;
        text_ += "\nNot read:\n";
        for (const UnreadItem& item : measurements_.unread)
            text_ += Concat("  ", Place(item.place), ": ", item.what, "\n");
    }

    const Measurements& measurements_;
    const ReductionOptions& options_;
    const Reduction& reduction_;
    std::string text_;
};

} // namespace

std::string ReductionReport(const Measurements& measurements, const ReductionOptions& options,
                            const Reduction& reduction) {
    return ReportWriter(measurements, options, reduction).Write();
}

} // namespace stadix
