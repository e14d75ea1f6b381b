#include "rawconv/PolarText.h"

#include "base/TextFormat.h"

#include <algorithm>
#include <array>
#include <vector>

namespace stadix {

namespace {

constexpr std::size_t kStationGroups = 256;
// Room for a station line and the empty line before its block, to size the text once.
constexpr std::size_t kStationLineSize = 80;

// STN and BS: height, then east, north and elevation.
std::string PolarCoordinateLine(const DecodeState& state, const RawRecord& record) {
    return Concat(ReadNameText(record, raw::kName), ",", LengthField(state, record, raw::kHeight),
                  ",", CoordinateField(state, record, raw::kEast), ",",
                  CoordinateField(state, record, raw::kNorth), ",",
                  CoordinateField(state, record, raw::kElevation), OptionalCodeField(record));
}

// The observations of one kind (BS or DIST) in one station group: formatted once, each
// line with its CR LF, joined in one text, so that a block takes them with two copies
// however many stations share the group.
struct GroupLines {
    std::vector<std::size_t> positions; // record numbers, ascending
    std::vector<std::string> lines;     // the line of each, while the store is indexed
    std::string joined;
    std::vector<std::size_t> starts; // where each line of joined starts
};

struct StoreIndex {
    std::vector<std::size_t> stations;
    // Backsights are joined last first, distances in store order.
    std::array<GroupLines, kStationGroups> backsights;
    std::array<GroupLines, kStationGroups> distances;
};

// Joins the group's lines, last first when asked, and drops them.
void JoinLines(GroupLines& group, bool lastFirst) {
    if (lastFirst)
        std::reverse(group.lines.begin(), group.lines.end());
    for (const std::string& line : group.lines) {
        group.starts.push_back(group.joined.size());
        group.joined += line;
        group.joined += "\r\n";
    }
    group.lines = {};
}

// The stations and each group's observations, found in one pass over the store.
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
        GroupLines& group =
            (type == kTypeBs ? index.backsights : index.distances)[record[raw::kStationGroup]];
        group.positions.push_back(k);
        group.lines.push_back(type == kTypeBs ? FormatPolarBacksight(state, record)
                                              : FormatPolarDistance(state, record));
    }
    for (std::size_t g = 0; g < kStationGroups; ++g) {
        JoinLines(index.backsights[g], true);
        JoinLines(index.distances[g], false);
    }
    return index;
}

// How many of the group's observations stand before the station: the scan meets the
// others first.
std::size_t CountBefore(const GroupLines& group, std::size_t station) {
    return static_cast<std::size_t>(
        std::upper_bound(group.positions.begin(), group.positions.end(), station) -
        group.positions.begin());
}

// The joined lines from line first to the end, then from the start up to line first.
void AppendRotated(std::string& text, const GroupLines& group, std::size_t first) {
    const std::size_t at = first < group.starts.size() ? group.starts[first] : group.joined.size();
    text.append(group.joined, at, std::string::npos);
    text.append(group.joined, 0, at);
}

std::uint8_t GroupAt(std::string_view store, std::size_t position) {
    return static_cast<std::uint8_t>(store[position * kRawRecordSize + raw::kStationGroup]);
}

// The station line of record number position, its group's backsights in the reverse of
// the scan order, then its group's distances in the scan order.
void AppendStationBlock(const DecodeState& state, std::string_view store, const StoreIndex& index,
                        std::size_t position, std::string& text) {
    const std::uint8_t group = GroupAt(store, position);
    text += FormatPolarStation(state, RawRecordAt(store, position));
    text += "\r\n";
    // The scan meets the backsights behind the station, then those before it; joined
    // last first, the ones before it come first and start after those behind it.
    const GroupLines& backsights = index.backsights[group];
    AppendRotated(text, backsights,
                  backsights.positions.size() - CountBefore(backsights, position));
    const GroupLines& distances = index.distances[group];
    AppendRotated(text, distances, CountBefore(distances, position));
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

void WritePolarText(const DecodeState& state, std::string_view store, std::string& text) {
    const StoreIndex index = IndexStore(state, store);
    std::size_t size = text.size();
    for (const std::size_t position : index.stations) {
        const std::uint8_t group = GroupAt(store, position);
        size += kStationLineSize + index.backsights[group].joined.size() +
                index.distances[group].joined.size();
    }
    text.reserve(size);
    for (const std::size_t position : index.stations) {
        if (!text.empty())
            text += "\r\n";
        AppendStationBlock(state, store, index, position, text);
    }
}

} // namespace stadix
