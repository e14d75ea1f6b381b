// The record table's data: rows of five text cells (PT, N/X, E/Y, Z, CODE) with a
// header row 0 that holds no data. The window shows it; every table operation works
// on this data.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace stadix {

enum TableColumn { ColPt = 0, ColN = 1, ColE = 2, ColZ = 3, ColCode = 4 };

// N/X, E/Y and Z hold numbers; PT and CODE hold names.
inline bool IsNumberColumn(int column) {
    return column == ColN || column == ColE || column == ColZ;
}

class RecordTable {
  public:
    static constexpr int kColumns = 5;
    static constexpr int kMinRows = 3001;
    using Row = std::array<std::string, kColumns>;

    RecordTable();

    int RowCount() const { return static_cast<int>(rows_.size()); }
    // Grows or shrinks the table, never below kMinRows.
    void SetRowCount(int rows);

    // Rows beyond the last read as empty.
    const std::string& Cell(int row, int column) const;
    void SetCell(int row, int column, std::string text);
    // The row's cells; empty ones for a row beyond the table, which are not written.
    const Row& RowCells(int row) const;
    void SetRow(int row, Row cells);

    // Empties every cell of rows 1 to the last row; the row count stays.
    void ClearTable();
    void ClearRow(int row);

    // No cell of rows 1 to the last holds any text.
    bool IsEmpty() const;
    // PT, N and E all non-empty after trimming.
    bool IsComplete(int row) const;
    int CountComplete() const;

    // The record line of a complete row: an empty Z is 0.000 and N, E, Z are cut to
    // their first 12 characters. Throws ConversionError.
    std::string RowRecordLine(int row) const;

    // Puts a record line's fields into row.
    void SetRowFromRecordLine(int row, const std::string& line);

  private:
    std::vector<Row> rows_;
};

// Called with the index of each line (FillTable) or the count of lines made
// (GatherRecords) so that a window can show progress and stay responsive.
using TableProgress = std::function<void(std::size_t)>;

// Sizes the table for a list of count lines: one row per line plus the header when
// the list holds 3000 lines or more, else as it is. True when the row count changed.
bool PrepareRowsForLines(RecordTable& table, std::size_t count);

// Copies line i of the list into row i+1, growing the table when the list holds
// 3000 lines or more. Rows below the last line are not emptied.
void FillTable(RecordTable& table, const std::vector<std::string>& lines,
               const TableProgress& progress = {});

// Replaces lines by the record lines of the complete rows, in table order. Throws
// ConversionError; lines are then as they were, so that nothing prints or sends half a
// gather.
void GatherRecords(const RecordTable& table, std::vector<std::string>& lines,
                   const TableProgress& progress = {});

// What GatherRecords makes of a line that FillTable put into row, without a table: the
// record line of a complete row, nothing for an incomplete one. Throws ConversionError
// naming the row.
std::optional<std::string> GatheredRecordLine(const std::string& line, int row);

// The rows that hold something but not a record (PT, N or E missing), which a gather
// leaves out, in table order.
std::vector<int> IncompleteRows(const RecordTable& table);

// How many incomplete rows a command left out and the first of them, with what befell
// them: "2 incomplete rows not saved: rows 3, 7".
std::string IncompleteRowsMessage(const std::vector<int>& rows, const std::string& outcome);

} // namespace stadix
