#include "survey/SssMeasurements.h"

#include "base/FileIO.h"
#include "base/TextFormat.h"
#include "survey/TextRecords.h"

#include <cmath>
#include <stdexcept>

namespace stadix {

namespace {

// A keyword left in a field of eight characters, then the values separated by commas.
struct Item {
    std::string_view keyword;
    std::vector<std::string_view> values;
};

Item SplitItem(std::string_view line) {
    Item item;
    const std::size_t blank = line.find(' ');
    item.keyword = line.substr(0, blank);
    if (blank == std::string_view::npos)
        return item;
    std::string_view rest = TrimView(line.substr(blank));
    while (true) {
        const std::size_t comma = rest.find(',');
        item.values.push_back(TrimView(rest.substr(0, comma)));
        if (comma == std::string_view::npos)
            break;
        rest = rest.substr(comma + 1);
    }
    return item;
}

std::string_view ValueAt(const Item& item, std::size_t index) {
    return index < item.values.size() ? item.values[index] : std::string_view();
}

// The name, height and code of a STN, SS or BS item.
struct Head {
    std::string name;
    std::string code;
    std::optional<double> height;
    std::size_t place = 0;
};

class SssReader {
  public:
    Measurements Read(std::string_view text) {
        measurements_.placeWord = "line";
        const std::vector<std::string> lines = SplitLines(text);
        for (std::size_t i = 0; i < lines.size(); ++i)
            Take(SplitItem(lines[i]), i + 1);
        return std::move(measurements_);
    }

  private:
    // What an XYZ line gives its coordinates to.
    enum class Pending { Nothing, Station, Point, Backsight };

    void Take(const Item& item, std::size_t place) {
        const std::string_view keyword = item.keyword;
        if (keyword == "UNITS")
            TakeUnits(item);
        else if (keyword == "STN")
            StartSetup(item, place);
        else if (keyword == "BS")
            DesignateBacksight(item, place);
        else if (keyword == "SS")
            StartObservation(item, place);
        else if (keyword == "XYZ")
            TakeCoordinates(item, place);
        else if (keyword == "SD" || keyword == "HV")
            TakeAngles(item, place, keyword == "SD");
        else if (keyword == "HD")
            Unread(place, "horizontal distance items are not read");
        if (keyword != "STN" && keyword != "SS" && keyword != "BS")
            pending_ = Pending::Nothing;
    }

    void TakeUnits(const Item& item) {
        const std::string_view distance = ValueAt(item, 0);
        const std::string_view angle = ValueAt(item, 1);
        if (distance == "M")
            unit_ = CoordUnit::Metre;
        else if (distance == "F")
            unit_ = CoordUnit::InternationalFoot;
        if (angle == "D")
            angleUnit_ = AngleUnit::DegreesMinutesSeconds;
        else if (angle == "G")
            angleUnit_ = AngleUnit::Gon;
        else if (angle == "M")
            angleUnit_ = AngleUnit::Mil;
    }

    std::optional<double> Length(std::string_view text) const {
        const std::optional<double> value = ParseFiniteNumber(text);
        if (!value)
            return std::nullopt;
        return *value * MetresPer(unit_);
    }

    Head ReadHead(const Item& item, std::size_t place) const {
        return {std::string(ValueAt(item, 0)), std::string(ValueAt(item, 2)),
                Length(ValueAt(item, 1)), place};
    }

    void StartSetup(const Item& item, std::size_t place) {
        const Head head = ReadHead(item, place);
        if (!head.height) {
            Unread(place, "station " + head.name + ": instrument height not readable");
            pending_ = Pending::Nothing;
            return;
        }
        Setup setup;
        setup.station = head.name;
        setup.code = head.code;
        setup.instrumentHeight = *head.height;
        setup.place = place;
        setup.unit = unit_;
        measurements_.setups.push_back(std::move(setup));
        pending_ = Pending::Station;
    }

    void DesignateBacksight(const Item& item, std::size_t place) {
        pending_ = Pending::Nothing;
        if (measurements_.setups.empty()) {
            Unread(place, "backsight " + std::string(ValueAt(item, 0)) + " before any station");
            return;
        }
        measurements_.setups.back().backsights.push_back(
            {std::string(ValueAt(item, 0)), {}, std::nullopt});
        pending_ = Pending::Backsight;
    }

    void StartObservation(const Item& item, std::size_t place) {
        head_ = ReadHead(item, place);
        pending_ = Pending::Point;
    }

    void TakeCoordinates(const Item& item, std::size_t place) {
        const std::optional<double> east = Length(ValueAt(item, 0));
        const std::optional<double> north = Length(ValueAt(item, 1));
        const std::optional<double> elevation = Length(ValueAt(item, 2));
        if (pending_ == Pending::Nothing)
            return;
        if (!east || !north || !elevation) {
            Unread(place, "coordinates not readable");
            return;
        }
        const Position position{*north, *east, *elevation};
        RecordedCoordinates recorded{position, position.north == 0 && position.east == 0 &&
                                                   position.elevation == 0};
        if (pending_ == Pending::Station)
            measurements_.setups.back().coordinates = recorded;
        else if (pending_ == Pending::Backsight)
            measurements_.setups.back().backsights.back().coordinates = recorded;
        else
            measurements_.givenPoints.push_back({head_.name, position, head_.code, place, unit_});
    }

    void TakeAngles(const Item& item, std::size_t place, bool withDistance) {
        if (pending_ != Pending::Point)
            return;
        const std::optional<Angle> horizontal = ParseAngleText(ValueAt(item, 0), angleUnit_);
        const std::optional<Angle> zenith = ParseAngleText(ValueAt(item, 1), angleUnit_);
        const std::optional<double> distance = Length(ValueAt(item, 2));
        if (!horizontal || !zenith || !head_.height || (withDistance && !distance)) {
            Unread(place, "observation of " + head_.name + ": values not readable");
            return;
        }
        Observation observation;
        observation.point = head_.name;
        observation.code = head_.code;
        observation.targetHeight = *head_.height;
        observation.horizontal = *horizontal;
        observation.zenith = *zenith;
        if (withDistance)
            observation.slopeDistance = distance;
        observation.face = FaceOfZenith(*zenith);
        observation.setup =
            measurements_.setups.empty() ? kNoSetup : measurements_.setups.size() - 1;
        observation.place = head_.place;
        observation.unit = unit_;
        measurements_.observations.push_back(std::move(observation));
    }

    void Unread(std::size_t place, std::string what) {
        measurements_.unread.push_back({place, std::move(what)});
    }

    Measurements measurements_;
    CoordUnit unit_ = CoordUnit::Metre;
    AngleUnit angleUnit_ = AngleUnit::DegreesMinutesSeconds;
    Pending pending_ = Pending::Nothing;
    Head head_;
};

} // namespace

Measurements ReadSssMeasurements(std::string_view text) {
    return SssReader().Read(text);
}

} // namespace stadix
