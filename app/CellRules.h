// What may be typed into a cell of the record table, and what happens to a cell's
// text when the user leaves it.
#pragma once

#include <string>

namespace stadix {

// A typed character allowed in column (PT and CODE: digits, ".", "-", ASCII letters;
// N, E, Z: digits, ".", "-"; control characters always).
bool IsAllowedCellKey(int column, char c);

enum class CellLeave {
    Keep,      // the text stays as typed
    Replace,   // the text becomes the replacement
    OverRange, // refused: the cell keeps the focus
};

// Checks the text of a cell being left. N/E/Z values of 100000000 or more, or of
// -10000000 or less, are over range; so every accepted value fits a record line.
CellLeave CheckLeftCell(int column, const std::string& text, std::string& replacement);

} // namespace stadix
