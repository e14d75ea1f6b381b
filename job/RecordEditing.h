// The record commands of the coordinate view that work on the job and its table as a
// whole: finding a point by name, clearing every record, and taking changes back.
#pragma once

#include "job/Job.h"
#include "job/RecordTable.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

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

// The records as a command found them: a run of the table's rows, its row count and,
// when the command may change it, the record text list.
struct RecordsState {
    int rowCount = 0;
    int firstRow = 1;
    std::vector<RecordTable::Row> rows;
    std::optional<std::vector<std::string>> lines;
};

// Rows first..last and, when lines is given, the list.
RecordsState CaptureRecords(const RecordTable& table, int first, int last,
                            const std::vector<std::string>* lines = nullptr);
// Every row of the table, and the list.
RecordsState CaptureAllRecords(const RecordTable& table, const std::vector<std::string>& lines);

// What one command changed in the records, to be taken back and made again. It keeps
// only the rows that differ, so that a change of one cell in a long job stays small.
class RecordsChange {
  public:
    // From before to the table and list as they are now. A capture of the whole table
    // compares the whole table now, however many rows it has grown or shrunk to.
    RecordsChange(RecordsState before, const RecordTable& table,
                  const std::vector<std::string>* lines = nullptr);

    // Nothing that the table shows changed (the list alone does not count).
    bool Empty() const;
    void Undo(RecordTable& table, std::vector<std::string>& lines) const;
    void Redo(RecordTable& table, std::vector<std::string>& lines) const;
    // The rows that differ, first..last; none when only the row count differs.
    int FirstRow() const { return after_.firstRow; }
    int LastRow() const { return after_.firstRow + static_cast<int>(after_.rows.size()) - 1; }

    // Takes a later change of the same one row, which starts where this one ends (a cell
    // put into its normal form as the user leaves it), into this change. False when the
    // later change is not such a change.
    bool Absorb(const RecordsChange& later);

  private:
    static void Restore(const RecordsState& state, RecordTable& table,
                        std::vector<std::string>& lines);

    RecordsState before_;
    RecordsState after_;
};

} // namespace stadix
