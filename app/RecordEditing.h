// The record commands of the coordinate view that work on the job and its table as a
// whole: finding a point by name and clearing every record.
#pragma once

#include "app/Job.h"
#include "app/RecordTable.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace stadix {

// Compares a cell with a name without regard to letter case, for texts that are not
// plain ASCII (the window knows their encoding; the core only knows bytes).
using NameEquality = std::function<bool(std::string_view cell, std::string_view name)>;

// The row of the next record whose point name equals the search text (trimmed), from
// the row after currentRow down, wrapping to row 1, ending with currentRow itself.
// Cells are compared untrimmed and without regard to letter case. None when no row
// matches or the search text is empty.
std::optional<int> FindRecord(const RecordTable& table, int currentRow,
                              const std::string& searchText,
                              const NameEquality& equalBeyondAscii = {});

// Empties the record text list and the table.
void ClearRecords(Job& job, RecordTable& table);

} // namespace stadix
