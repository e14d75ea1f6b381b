#include "job/CellRules.h"

#include "base/Errors.h"
#include "job/RecordTable.h"
#include "base/TextFormat.h"

#include <algorithm>
#include <vector>

namespace stadix {

namespace {

const char* const kColumnNames[RecordTable::kColumns] = {"PT", "N/X", "E/Y", "Z", "CODE"};

using TextBlock = std::vector<std::vector<std::string>>;

// Lines of tab-separated cells; a line end after the last line ends it, as spreadsheets
// copy.
TextBlock SplitBlock(const std::string& text) {
    TextBlock block;
    std::size_t start = 0;
    while (start < text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string::npos)
            end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        block.emplace_back();
        std::size_t cell = 0;
        for (std::size_t tab = line.find('\t'); tab != std::string::npos;
             cell = tab + 1, tab = line.find('\t', cell))
            block.back().push_back(line.substr(cell, tab - cell));
        block.back().push_back(line.substr(cell));
        start = end + 1;
    }
    return block;
}

std::string Where(int row, int column) {
    return "Row " + std::to_string(row) + ", " + kColumnNames[column] + ": ";
}

// The text that a cell of row, column takes for pasted text, or why it refuses it.
std::string PastedCellText(int row, int column, const std::string& text, std::string& problem) {
    const std::string typed = TypeIntoCell(row, column, text, problem);
    if (!problem.empty())
        return typed;
    std::string replacement;
    switch (CheckLeftCell(column, typed, replacement)) {
    case CellLeave::Keep:
        return typed;
    case CellLeave::Replace:
        return replacement;
    case CellLeave::OverRange:
        problem = Where(row, column) + "'" + typed + "' is over range";
        return std::string();
    case CellLeave::NotANumber:
        problem = ConversionError(row, kColumnNames[column], typed).what();
        return std::string();
    }
    return typed;
}

} // namespace

char TypedCellChar(int column, char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < ' ' || u == 127)
        return c;
    if ((c >= '0' && c <= '9') || c == '.' || c == '-')
        return c;
    if (!IsNumberColumn(column))
        return ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z')) ? c : 0;
    return c == ',' ? '.' : 0;
}

CellLeave CheckLeftCell(int column, const std::string& text, std::string& replacement) {
    std::string trimmed = Trim(text);
    if (!IsNumberColumn(column)) {
        if (trimmed.size() <= 8)
            return CellLeave::Keep;
        replacement = trimmed.substr(0, 8);
        return CellLeave::Replace;
    }
    if (trimmed.empty())
        return CellLeave::Keep;
    std::replace(trimmed.begin(), trimmed.end(), ',', '.');
    double value = 0;
    try {
        value = ParseStrictNumber(trimmed);
    } catch (const ConversionError&) {
        return CellLeave::NotANumber;
    }
    if (value >= 100000000.0 || value <= -10000000.0)
        return CellLeave::OverRange;
    replacement = FormatFixed(value, 3);
    return CellLeave::Replace;
}

std::string TypeIntoCell(int row, int column, const std::string& text, std::string& problem) {
    std::string typed;
    for (char c : Trim(text)) {
        const bool control = static_cast<unsigned char>(c) < ' ' || c == 127;
        const char kept = control ? char(0) : TypedCellChar(column, c);
        if (kept == 0) {
            problem = Where(row, column) + "\"" + text +
                      "\" cannot be pasted: this cell takes only " +
                      (IsNumberColumn(column) ? "digits, \".\", \"-\" and a decimal comma"
                                              : "letters, digits, \".\" and \"-\"");
            return std::string();
        }
        typed += kept;
    }
    return typed;
}

std::string CopyCells(const RecordTable& table, const CellBlock& block) {
    std::string text;
    for (int row = block.top; row <= block.bottom; ++row) {
        if (row != block.top)
            text += '\n';
        for (int column = block.left; column <= block.right; ++column) {
            if (column != block.left)
                text += '\t';
            text += table.Cell(row, column);
        }
    }
    return text;
}

void ClearCells(RecordTable& table, const CellBlock& block) {
    for (int row = block.top; row <= block.bottom; ++row) {
        for (int column = block.left; column <= block.right; ++column)
            table.SetCell(row, column, std::string());
    }
}

std::string PasteCells(RecordTable& table, int row, int column, const std::string& text) {
    const TextBlock block = SplitBlock(text);
    std::size_t width = 0;
    for (const std::vector<std::string>& line : block)
        width = std::max(width, line.size());
    if (row < 1 || column < 0 || column + static_cast<int>(width) > RecordTable::kColumns ||
        row + static_cast<int>(block.size()) > table.RowCount())
        return std::string("The pasted cells reach beyond the table's last row or its CODE "
                           "column") +
               kNothingPasted;
    TextBlock pasted;
    for (std::size_t r = 0; r < block.size(); ++r) {
        pasted.emplace_back();
        for (std::size_t c = 0; c < block[r].size(); ++c) {
            std::string problem;
            pasted.back().push_back(PastedCellText(
                row + static_cast<int>(r), column + static_cast<int>(c), block[r][c], problem));
            if (!problem.empty())
                return problem + kNothingPasted;
        }
    }
    for (std::size_t r = 0; r < pasted.size(); ++r) {
        for (std::size_t c = 0; c < pasted[r].size(); ++c)
            table.SetCell(row + static_cast<int>(r), column + static_cast<int>(c), pasted[r][c]);
    }
    return std::string();
}

} // namespace stadix
