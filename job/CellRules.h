// What may be typed into a cell of the record table, what happens to a cell's text
// when the user leaves it, and cells copied and pasted as spreadsheets do.
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

// The text that typing text into a cell of row, column gives, each character as a
// typed key gives it and blanks around it dropped; empty, with why, when the cell
// refuses a character.
std::string TypeIntoCell(int row, int column, const std::string& text, std::string& problem);
// Ends the message of a paste that was refused.
inline constexpr const char* kNothingPasted = ".\nNothing was pasted.";

class RecordTable;

// A block of cells: rows top..bottom, columns left..right.
struct CellBlock {
    int top = 1;
    int left = 0;
    int bottom = 1;
    int right = 0;
};

// The cells of block as spreadsheets copy them: cells separated by tabs, rows by line
// ends.
std::string CopyCells(const RecordTable& table, const CellBlock& block);
void ClearCells(RecordTable& table, const CellBlock& block);

// Puts text copied as above into the table from row, column on, each cell as if it had
// been typed and left: blanks around it dropped, names cut to 8 characters, numbers
// formatted. When a cell refuses its text, or the block does not fit, nothing is pasted
// and the message says why; empty when pasted.
std::string PasteCells(RecordTable& table, int row, int column, const std::string& text);

} // namespace stadix
