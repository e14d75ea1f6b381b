// The polar text: the raw record store regrouped by instrument station, each station
// line followed by its backsight lines and then its distance lines, plain comma lines.
#pragma once

#include "rawconv/RawRecords.h"

#include <string>
#include <string_view>

namespace stadix {

// name,height,east,north,elevation[,code] of a STN record.
std::string FormatPolarStation(const DecodeState& state, const RawRecord& record);
// name,height,east,north,elevation[,code] of a BS record.
std::string FormatPolarBacksight(const DecodeState& state, const RawRecord& record);
// name,height,slope distance,horizontal angle,vertical angle[,code] of a DIST record.
std::string FormatPolarDistance(const DecodeState& state, const RawRecord& record);

// Appends the polar text of a raw record store to text, every line followed by CR LF:
// a block per STN record, in store order, with an empty line before every block when
// text is not empty. A block is the station line, the backsights of its station group,
// and the distances of its group, each taken in the order of a scan that starts after
// the station and wraps round to end before it; the backsights stand in the reverse of
// that order. INST and UNIT records are not applied: the decoding state is used as it
// is. A trailing partial record is ignored.
//
// Stations share the 256 group values, so a large survey lists each observation under
// many stations: the text is written directly, without a string per line.
void WritePolarText(const DecodeState& state, std::string_view store, std::string& text);

} // namespace stadix
