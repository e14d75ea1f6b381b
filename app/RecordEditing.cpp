#include "app/RecordEditing.h"

#include "app/TextFormat.h"

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

} // namespace stadix
