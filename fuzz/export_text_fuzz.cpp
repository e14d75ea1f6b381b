// Arbitrary bytes as a raw record store, partial records and every type code included,
// rendered as the SSS text and the polar text from a fresh decoding state; the polar
// text is checked against the plain wrap-around scan that it must reproduce. The same
// bytes read as a settings file give a user layout or none, never a broken one.
#include "base/FileIO.h"
#include "formats/UserFormat.h"
#include "job/RecordLine.h"
#include "rawconv/PolarText.h"
#include "rawconv/SssText.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace {

using namespace stadix;

// For each station the whole store, from just behind it round to just before it: each
// backsight of its group moved directly under the station line, each distance appended.
std::vector<std::string> ScannedPolarText(const DecodeState& state, std::string_view store) {
    std::vector<std::string> lines;
    const std::size_t n = RawRecordCount(store);
    for (std::size_t i = 0; i < n; ++i) {
        const RawRecord station = RawRecordAt(store, i);
        if (station[0] != kTypeStn)
            continue;
        if (!lines.empty())
            lines.emplace_back();
        lines.push_back(FormatPolarStation(state, station));
        const auto under = static_cast<std::ptrdiff_t>(lines.size());
        for (std::size_t j = 1; j < n; ++j) {
            const RawRecord record = RawRecordAt(store, (i + j) % n);
            if (record[raw::kStationGroup] != station[raw::kStationGroup])
                continue;
            if (record[0] == kTypeBs)
                lines.insert(lines.begin() + under, FormatPolarBacksight(state, record));
            else if (record[0] == kTypeDist)
                lines.push_back(FormatPolarDistance(state, record));
        }
    }
    return lines;
}

void CheckLayout(const UserFormat& layout) {
    if (layout.name.empty() || layout.extension.size() > 3)
        __builtin_trap();
    for (const TableColumn column : layout.columns) {
        if (column < ColPt || column > ColCode)
            __builtin_trap();
    }
    const std::string line = UserDefinedLine(3, MakeRecordLine("P1", "", "1", "2", "3"), layout);
    if (line.empty())
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    DecodeState state;
    std::vector<std::string> items;
    WriteSssText(state, bytes, items);
    if (items.size() > RawRecordCount(bytes))
        __builtin_trap();

    const DecodeState fresh;
    std::string polar;
    WritePolarText(fresh, bytes, polar);
    if (polar != JoinLinesCrLf(ScannedPolarText(fresh, bytes)))
        __builtin_trap();

    if (const auto layout = ParseUserFormat(SplitLines(bytes)))
        CheckLayout(*layout);
    return 0;
}
