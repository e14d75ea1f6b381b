#include "job/RecordEditing.h"

#include "base/TextFormat.h"

#include <algorithm>

namespace stadix {

namespace {

bool IsAscii(std::string_view text) {
    for (char c : text) {
        if (static_cast<unsigned char>(c) >= 0x80)
            return false;
    }
    return true;
}

char FoldAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (FoldAscii(a[i]) != FoldAscii(b[i]))
            return false;
    }
    return true;
}

bool NamesEqual(std::string_view cell, std::string_view name, const NameEquality& beyondAscii) {
    if (IsAscii(cell) && IsAscii(name))
        return EqualIgnoringAsciiCase(cell, name);
    // Bytes of a multi-byte character may look like ASCII letters: only the encoding
    // can say whether two such names are equal.
    return beyondAscii ? beyondAscii(cell, name) : cell == name;
}

} // namespace

std::optional<int> FindRecord(const RecordTable& table, int currentRow,
                              const std::string& searchText, const NameEquality& equalBeyondAscii) {
    const std::string_view name = TrimView(searchText);
    const int rows = table.RowCount() - 1;
    if (name.empty() || rows < 1)
        return std::nullopt;
    int row = currentRow < 1 || currentRow > rows ? rows : currentRow;
    for (int step = 0; step < rows; ++step) {
        row = row == rows ? 1 : row + 1;
        if (NamesEqual(table.Cell(row, ColPt), name, equalBeyondAscii))
            return row;
    }
    return std::nullopt;
}

void ClearRecords(Job& job, RecordTable& table) {
    job.lines.clear();
    table.ClearTable();
}

RecordsState CaptureRecords(const RecordTable& table, int first, int last,
                            const std::vector<std::string>* lines) {
    RecordsState state;
    state.rowCount = table.RowCount();
    state.firstRow = first;
    for (int row = first; row <= last; ++row)
        state.rows.push_back(table.RowCells(row));
    if (lines)
        state.lines = *lines;
    return state;
}

RecordsState CaptureAllRecords(const RecordTable& table, const std::vector<std::string>& lines) {
    return CaptureRecords(table, 1, table.RowCount() - 1, &lines);
}

RecordsChange::RecordsChange(RecordsState before, const RecordTable& table,
                             const std::vector<std::string>* lines) {
    const int capturedLast = before.firstRow + static_cast<int>(before.rows.size()) - 1;
    const bool whole = before.firstRow == 1 && capturedLast >= before.rowCount - 1;
    const RecordTable::Row empty;
    const auto rowBefore = [&](int row) -> const RecordTable::Row& {
        const std::size_t i = static_cast<std::size_t>(row - before.firstRow);
        return i < before.rows.size() ? before.rows[i] : empty;
    };
    int first = before.firstRow;
    int last = whole ? std::max(capturedLast, table.RowCount() - 1) : capturedLast;
    while (first <= last && rowBefore(first) == table.RowCells(first))
        ++first;
    while (last >= first && rowBefore(last) == table.RowCells(last))
        --last;
    before_.rowCount = before.rowCount;
    after_.rowCount = table.RowCount();
    before_.firstRow = after_.firstRow = first;
    for (int row = first; row <= last; ++row) {
        before_.rows.push_back(rowBefore(row));
        after_.rows.push_back(table.RowCells(row));
    }
    if (before.lines && lines && *before.lines != *lines) {
        before_.lines = std::move(before.lines);
        after_.lines = *lines;
    }
}

bool RecordsChange::Empty() const {
    return before_.rowCount == after_.rowCount && before_.rows == after_.rows;
}

void RecordsChange::Undo(RecordTable& table, std::vector<std::string>& lines) const {
    Restore(before_, table, lines);
}

void RecordsChange::Redo(RecordTable& table, std::vector<std::string>& lines) const {
    Restore(after_, table, lines);
}

void RecordsChange::Restore(const RecordsState& state, RecordTable& table,
                            std::vector<std::string>& lines) {
    table.SetRowCount(state.rowCount);
    for (std::size_t i = 0; i < state.rows.size(); ++i)
        table.SetRow(state.firstRow + static_cast<int>(i), state.rows[i]);
    if (state.lines)
        lines = *state.lines;
}

bool RecordsChange::Absorb(const RecordsChange& later) {
    if (after_.rows.size() != 1 || later.before_.firstRow != after_.firstRow ||
        later.before_.rows != after_.rows || later.before_.rowCount != later.after_.rowCount ||
        after_.lines || later.after_.lines)
        return false;
    after_.rows = later.after_.rows;
    return true;
}

} // namespace stadix
