#include "job/RecordTable.h"

#include "base/Errors.h"
#include "job/RecordLine.h"
#include "base/TextFormat.h"

namespace stadix {

namespace {
using Cells = RecordTable::Row;
const Cells kEmptyRow;

std::string FirstChars(const std::string& text, std::size_t count) {
    return text.size() > count ? text.substr(0, count) : text;
}

Cells CellsOfRecordLine(const std::string& line) {
    return {RecordLinePt(line), RecordLineN(line), RecordLineE(line), RecordLineZ(line),
            RecordLineCode(line)};
}

bool CellsComplete(const Cells& cells) {
    return !TrimView(cells[ColPt]).empty() && !TrimView(cells[ColN]).empty() &&
           !TrimView(cells[ColE]).empty();
}

// The record line of a complete row's cells; a failure names the row.
std::string CellsRecordLine(const Cells& cells, int row) {
    const std::string n = FirstChars(cells[ColN], 12);
    const std::string e = FirstChars(cells[ColE], 12);
    const std::string& z = cells[ColZ];
    const std::string zText = z.empty() ? std::string("0.000") : FirstChars(z, 12);
    try {
        return MakeRecordLine(cells[ColPt], cells[ColCode], n, e, zText);
    } catch (const ConversionError&) {
        const std::pair<const char*, const std::string*> fields[] = {
            {"N/X", &n}, {"E/Y", &e}, {"Z", &zText}};
        for (const auto& [column, text] : fields) {
            try {
                FormatCoordText(*text, 12);
            } catch (const ConversionError&) {
                throw ConversionError(row, column, *text);
            }
        }
        throw;
    }
}
} // namespace

RecordTable::RecordTable() : rows_(kMinRows) {}

void RecordTable::SetRowCount(int rows) {
    rows_.resize(static_cast<std::size_t>(rows < kMinRows ? kMinRows : rows));
}

const RecordTable::Row& RecordTable::RowCells(int row) const {
    if (row < 0 || row >= RowCount())
        return kEmptyRow;
    return rows_[static_cast<std::size_t>(row)];
}

const std::string& RecordTable::Cell(int row, int column) const {
    if (column < 0 || column >= kColumns)
        return kEmptyRow[0];
    return RowCells(row)[static_cast<std::size_t>(column)];
}

void RecordTable::SetCell(int row, int column, std::string text) {
    if (row < 0 || row >= RowCount() || column < 0 || column >= kColumns)
        return;
    rows_[static_cast<std::size_t>(row)][static_cast<std::size_t>(column)] = std::move(text);
}

void RecordTable::SetRow(int row, Row cells) {
    if (row >= 0 && row < RowCount())
        rows_[static_cast<std::size_t>(row)] = std::move(cells);
}

void RecordTable::ClearTable() {
    for (std::size_t r = 1; r < rows_.size(); ++r)
        rows_[r] = Row();
}

void RecordTable::ClearRow(int row) {
    if (row >= 1 && row < RowCount())
        rows_[static_cast<std::size_t>(row)] = Row();
}

bool RecordTable::IsEmpty() const {
    for (std::size_t r = 1; r < rows_.size(); ++r) {
        if (rows_[r] != kEmptyRow)
            return false;
    }
    return true;
}

bool RecordTable::IsComplete(int row) const {
    return CellsComplete(RowCells(row));
}

int RecordTable::CountComplete() const {
    int count = 0;
    for (int r = 1; r < RowCount(); ++r)
        count += IsComplete(r) ? 1 : 0;
    return count;
}

std::string RecordTable::RowRecordLine(int row) const {
    return CellsRecordLine(RowCells(row), row);
}

void RecordTable::SetRowFromRecordLine(int row, const std::string& line) {
    if (row >= 1 && row < RowCount())
        rows_[static_cast<std::size_t>(row)] = CellsOfRecordLine(line);
}

bool PrepareRowsForLines(RecordTable& table, std::size_t count) {
    const int before = table.RowCount();
    if (count >= 3000 && static_cast<int>(count) != before - 1)
        table.SetRowCount(static_cast<int>(count) + 1);
    return table.RowCount() != before;
}

void FillTable(RecordTable& table, const std::vector<std::string>& lines,
               const TableProgress& progress) {
    PrepareRowsForLines(table, lines.size());
    const int count = static_cast<int>(lines.size());
    for (int i = 0; i < count; ++i) {
        table.SetRowFromRecordLine(i + 1, lines[static_cast<std::size_t>(i)]);
        if (progress)
            progress(static_cast<std::size_t>(i));
    }
}

void GatherRecords(const RecordTable& table, std::vector<std::string>& lines,
                   const TableProgress& progress) {
    std::vector<std::string> gathered;
    gathered.reserve(lines.size());
    for (int r = 1; r < table.RowCount(); ++r) {
        if (!table.IsComplete(r))
            continue;
        gathered.push_back(table.RowRecordLine(r));
        if (progress)
            progress(gathered.size());
    }
    lines.swap(gathered);
}

std::optional<std::string> GatheredRecordLine(const std::string& line, int row) {
    const Cells cells = CellsOfRecordLine(line);
    if (!CellsComplete(cells))
        return std::nullopt;
    return CellsRecordLine(cells, row);
}

std::vector<int> IncompleteRows(const RecordTable& table) {
    std::vector<int> rows;
    for (int r = 1; r < table.RowCount(); ++r) {
        if (table.IsComplete(r))
            continue;
        for (int c = 0; c < RecordTable::kColumns; ++c) {
            if (!TrimView(table.Cell(r, c)).empty()) {
                rows.push_back(r);
                break;
            }
        }
    }
    return rows;
}

std::string IncompleteRowsMessage(const std::vector<int>& rows, const std::string& outcome) {
    constexpr std::size_t kRowsNamed = 5;
    const bool one = rows.size() == 1;
    std::string message = std::to_string(rows.size()) +
                          (one ? " incomplete row " : " incomplete rows ") + outcome +
                          (one ? ": row " : ": rows ");
    for (std::size_t i = 0; i < rows.size() && i < kRowsNamed; ++i)
        message += (i > 0 ? ", " : "") + std::to_string(rows[i]);
    return rows.size() > kRowsNamed ? message + ", ..." : message;
}

} // namespace stadix
