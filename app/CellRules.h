// What may be typed into a cell of the record table, and what happens to a cell's
// text when the user leaves it.
#pragma once

#include <string>

namespace stadix {

// The character a typed key puts into a cell of column, or 0 when the key is refused.
// PT and CODE take digits, ".", "-" and ASCII letters; N, E and Z take digits, "."
// and "-", and a decimal comma becomes the decimal point. Control characters always
// pass.
char TypedCellChar(int column, char c);

enum class CellLeave {
    Keep,       // the text stays as typed
    Replace,    // the text becomes the replacement
    OverRange,  // refused: the cell keeps the focus
    NotANumber, // refused: the cell keeps the focus
};

// Checks the text of a cell being left. N/E/Z texts must be numbers (a comma is read
// as the decimal point); values of 100000000 or more, or of -10000000 or less, are
// over range, so every accepted value fits a record line.
CellLeave CheckLeftCell(int column, const std::string& text, std::string& replacement);

} // namespace stadix
