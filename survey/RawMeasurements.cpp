#include "survey/RawMeasurements.h"

#include "rawconv/RawRecords.h"

#include <array>

namespace stadix {

namespace {

constexpr std::size_t kGroups = 256;

CoordUnit UnitShown(const DecodeState& state) {
    if (!state.feetDisplay)
        return CoordUnit::Metre;
    return state.usSurveyFeet ? CoordUnit::UsSurveyFoot : CoordUnit::InternationalFoot;
}

double Metres(RawCoordinate value) {
    return value.whole + value.thousandths * 0.001;
}

Position PositionAt(const DecodeState& state, const RawRecord& record, std::size_t north) {
    return {Metres(ReadCoordinate(state, record, north)),
            Metres(ReadCoordinate(state, record, north + 6)),
            Metres(ReadCoordinate(state, record, north + 12))};
}

RecordedCoordinates Recorded(const DecodeState& state, const RawRecord& record) {
    RecordedCoordinates coordinates;
    coordinates.position = PositionAt(state, record, raw::kNorth);
    const Position& p = *coordinates.position;
    coordinates.zerosMayBePlaceholder = p.north == 0 && p.east == 0 && p.elevation == 0;
    return coordinates;
}

// Which setup each group's records belong to while the store is read: the group's last
// STN so far, else (settled once the store is read) its first.
class GroupSetups {
  public:
    GroupSetups() {
        last_.fill(kNoSetup);
        first_.fill(kNoSetup);
    }
    void StationMet(std::uint8_t group, std::size_t setup) {
        last_[group] = setup;
        if (first_[group] == kNoSetup)
            first_[group] = setup;
    }
    // The setup so far, or none yet.
    std::size_t Current(std::uint8_t group) const { return last_[group]; }
    // The group's first setup, once the store is read.
    std::size_t First(std::uint8_t group) const { return first_[group]; }

  private:
    std::array<std::size_t, kGroups> last_;
    std::array<std::size_t, kGroups> first_;
};

class RawReader {
  public:
    Measurements Read(std::string_view store) {
        const std::size_t count = RawRecordCount(store);
        measurements_.observations.reserve(count);
        for (std::size_t i = 0; i < count; ++i)
            Take(RawRecordAt(store, i), i + 1);
        SettleEarlyRecords();
        return std::move(measurements_);
    }

  private:
    // A BS, DIST or ANG record stored before any STN of its group.
    struct Early {
        std::uint8_t group;
        std::size_t observation; // or kNoSetup for a backsight
        DesignatedBacksight backsight;
    };

    void Take(const RawRecord& record, std::size_t place) {
        switch (record[0]) {
        case kTypeInst:
            ApplyInstRecord(state_, record);
            break;
        case kTypeUnit:
            ApplyUnitRecord(state_, record);
            break;
        case kTypeStn:
            AddSetup(record, place);
            break;
        case kTypeBs:
            AddBacksight(record);
            break;
        case kTypeDist:
        case kTypeAng:
            AddObservation(record, place);
            break;
        case kTypeCrd:
            AddGivenPoint(record, raw::kNorth, place);
            break;
        case kTypePt:
            AddGivenPoint(record, raw::kPtNorth, place);
            break;
        default:
            break;
        }
    }

    void AddGivenPoint(const RawRecord& record, std::size_t north, std::size_t place) {
        measurements_.givenPoints.push_back({ReadNameText(record, raw::kName),
                                             PositionAt(state_, record, north), "", place,
                                             UnitShown(state_)});
    }

    void AddSetup(const RawRecord& record, std::size_t place) {
        Setup setup;
        setup.station = ReadNameText(record, raw::kName);
        setup.code = ReadNameText(record, raw::kCode);
        setup.coordinates = Recorded(state_, record);
        setup.instrumentHeight = ReadFloat32(state_, record, raw::kHeight);
        setup.place = place;
        setup.unit = UnitShown(state_);
        groups_.StationMet(record[raw::kStationGroup], measurements_.setups.size());
        measurements_.setups.push_back(std::move(setup));
    }

    void AddBacksight(const RawRecord& record) {
        DesignatedBacksight backsight{ReadNameText(record, raw::kName), Recorded(state_, record),
                                      std::nullopt};
        const std::uint8_t group = record[raw::kStationGroup];
        const std::size_t setup = groups_.Current(group);
        if (setup == kNoSetup)
            early_.push_back({group, kNoSetup, std::move(backsight)});
        else
            measurements_.setups[setup].backsights.push_back(std::move(backsight));
    }

    void AddObservation(const RawRecord& record, std::size_t place) {
        const std::size_t index = measurements_.observations.size();
        Observation& observation = measurements_.observations.emplace_back();
        observation.point = ReadNameText(record, raw::kName);
        observation.code = ReadNameText(record, raw::kCode);
        observation.targetHeight = ReadFloat32(state_, record, raw::kHeight);
        observation.horizontal = SecondsOfArc(ReadUInt32(state_, record, raw::kHorizontalAngle));
        observation.zenith = SecondsOfArc(ReadUInt32(state_, record, raw::kVerticalAngle));
        if (record[0] == kTypeDist)
            observation.slopeDistance = ReadFloat32(state_, record, raw::kSlopeDistance);
        observation.face = FaceOfZenith(observation.zenith);
        observation.place = place;
        observation.unit = UnitShown(state_);
        const std::uint8_t group = record[raw::kStationGroup];
        observation.setup = groups_.Current(group);
        if (observation.setup == kNoSetup)
            early_.push_back({group, index, {}});
    }

    // Records met before any STN of their group go to the group's first STN.
    void SettleEarlyRecords() {
        for (Early& early : early_) {
            const std::size_t setup = groups_.First(early.group);
            if (early.observation != kNoSetup)
                measurements_.observations[early.observation].setup = setup;
            else if (setup != kNoSetup)
                measurements_.setups[setup].backsights.push_back(std::move(early.backsight));
        }
    }

    DecodeState state_;
    GroupSetups groups_;
    std::vector<Early> early_;
    Measurements measurements_;
};

} // namespace

Measurements ReadRawMeasurements(std::string_view store) {
    return RawReader().Read(store);
}

} // namespace stadix
