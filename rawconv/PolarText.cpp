#include "rawconv/PolarText.h"

#include "app/TextFormat.h"

#include <algorithm>
#include <array>

namespace stadix {

namespace {

constexpr std::size_t kStationGroups = 256;

// STN and BS: height, then east, north and elevation.
std::string PolarCoordinateLine(const DecodeState& state, const RawRecord& record) {
    return Concat(ReadNameText(record, raw::kName), ",", LengthField(state, record, raw::kHeight),
                  ",", CoordinateField(state, record, raw::kEast), ",",
                  CoordinateField(state, record, raw::kNorth), ",",
                  CoordinateField(state, record, raw::kElevation), OptionalCodeField(record));
}

// The observations of one kind (BS or DIST) in one station group, in store order.
struct GroupObservations {
    std::vector<std::size_t> positions; // record numbers, ascending
    std::vector<std::string> lines;     // the formatted line of each
};

// The observations of every group and the stations, found in one pass over the store.
// Each observation is formatted once, however many stations share its group.
struct StoreIndex {
    std::vector<std::size_t> stations;
    std::array<GroupObservations, kStationGroups> backsights;
    std::array<GroupObservations, kStationGroups> distances;
};

StoreIndex IndexStore(const DecodeState& state, std::string_view store) {
    StoreIndex index;
    for (std::size_t k = 0; k < RawRecordCount(store); ++k) {
        const auto type = static_cast<std::uint8_t>(store[k * kRawRecordSize]);
        if (type == kTypeStn) {
            index.stations.push_back(k);
            continue;
        }
        if (type != kTypeBs && type != kTypeDist)
            continue;
        const RawRecord record = RawRecordAt(store, k);
        GroupObservations& group =
            (type == kTypeBs ? index.backsights : index.distances)[record[raw::kStationGroup]];
        group.positions.push_back(k);
        group.lines.push_back(type == kTypeBs ? FormatPolarBacksight(state, record)
                                              : FormatPolarDistance(state, record));
    }
    return index;
}

// Where the scan that starts just after the station first meets the group: the first
// observation stored behind it.
std::size_t ScanStart(const GroupObservations& group, std::size_t station) {
    return static_cast<std::size_t>(
        std::upper_bound(group.positions.begin(), group.positions.end(), station) -
        group.positions.begin());
}

// The station group byte of record number position.
std::uint8_t GroupAt(std::string_view store, std::size_t position) {
    return static_cast<std::uint8_t>(store[position * kRawRecordSize + raw::kStationGroup]);
}

std::size_t BlockSize(const StoreIndex& index, std::uint8_t group) {
    return 1 + index.backsights[group].lines.size() + index.distances[group].lines.size();
}

// The station line of record number position, its group's backsights in the reverse of
// the scan order, then its group's distances in the scan order.
void AppendStationBlock(const DecodeState& state, std::string_view store, const StoreIndex& index,
                        std::size_t position, std::vector<std::string>& lines) {
    const std::uint8_t group = GroupAt(store, position);
    lines.push_back(FormatPolarStation(state, RawRecordAt(store, position)));
    const std::vector<std::string>& backsights = index.backsights[group].lines;
    const auto split = backsights.begin() +
                       static_cast<std::ptrdiff_t>(ScanStart(index.backsights[group], position));
    lines.insert(lines.end(), std::make_reverse_iterator(split), backsights.rend());
    lines.insert(lines.end(), backsights.rbegin(), std::make_reverse_iterator(split));
    const std::vector<std::string>& distances = index.distances[group].lines;
    const auto start = distances.begin() +
                       static_cast<std::ptrdiff_t>(ScanStart(index.distances[group], position));
    lines.insert(lines.end(), start, distances.end());
    lines.insert(lines.end(), distances.begin(), start);
}

} // namespace

std::string FormatPolarStation(const DecodeState& state, const RawRecord& record) {
    return PolarCoordinateLine(state, record);
}

std::string FormatPolarBacksight(const DecodeState& state, const RawRecord& record) {
    return PolarCoordinateLine(state, record);
}

std::string FormatPolarDistance(const DecodeState& state, const RawRecord& record) {
    return Concat(ReadNameText(record, raw::kName), ",", LengthField(state, record, raw::kHeight),
                  ",", LengthField(state, record, raw::kSlopeDistance), ",",
                  AngleField(state, record, raw::kHorizontalAngle), ",",
                  AngleField(state, record, raw::kVerticalAngle), OptionalCodeField(record));
}

void WritePolarText(const DecodeState& state, std::string_view store,
                    std::vector<std::string>& lines) {
    const StoreIndex index = IndexStore(state, store);
    std::size_t total = lines.size();
    for (const std::size_t position : index.stations)
        total += 1 + BlockSize(index, GroupAt(store, position));
    lines.reserve(total);
    for (const std::size_t position : index.stations) {
        if (!lines.empty())
            lines.emplace_back();
        AppendStationBlock(state, store, index, position, lines);
    }
}

} // namespace stadix
