// The readable listing of raw records: the text of the measurement view, one item
// per record, rendered in store order in the job's decoding state.
#pragma once

#include "rawconv/RawRecords.h"

#include <string>
#include <string_view>
#include <vector>

namespace stadix {

// The listing text of one record: a six-character label and comma-separated fields.
// A UNIT record gives two lines joined by "\r\n"; a type outside the type table gives
// an empty text. INST and UNIT records change the decoding state as they are
// formatted, which governs the records that follow.
std::string FormatListingRecord(DecodeState& state, const RawRecord& record);

// Appends the listing text of the record to lines: one line per record, two for a
// UNIT record (its "UNIT: " and "EDM:  " lines), none for a type outside the table.
void AddRecordToListing(DecodeState& state, std::vector<std::string>& lines,
                        const RawRecord& record);

// Renders a raw record store (records back to back, 42 bytes each) into lines, record
// by record as AddRecordToListing does. A trailing partial record is ignored.
void RenderListing(DecodeState& state, std::string_view store, std::vector<std::string>& lines);

} // namespace stadix
