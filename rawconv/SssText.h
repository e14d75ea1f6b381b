// The SSS measurement text: the raw record store rewritten in the Topcon GTS-700/600/800
// SSS layout, for software that reads that family's raw data.
#pragma once

#include "rawconv/RawRecords.h"

#include <string>
#include <string_view>
#include <vector>

namespace stadix {

// The SSS text of one record: one line, or two joined by "\r\n" for CRD, DIST, ANG and
// STN; empty for PT, BKB, BS and types outside the type table. INST and UNIT records
// change the decoding state before their text is made, which governs the records that
// follow.
std::string FormatSssRecord(DecodeState& state, const RawRecord& record);

// Appends the SSS text of every record of a raw record store to items, in store order,
// one item per record that has a text. A trailing partial record is ignored.
void WriteSssText(DecodeState& state, std::string_view store, std::vector<std::string>& items);

} // namespace stadix
