#include "app/CellRules.h"

#include "app/RecordTable.h"
#include "app/String_func.h"

namespace stadix {

namespace {
bool IsNameColumn(int column) {
    return column == ColPt || column == ColCode;
}
} // namespace

bool IsAllowedCellKey(int column, char c) {
    const unsigned char u = static_cast<unsigned char>(c);
    if (u < ' ' || u == 127)
        return true;
    if ((c >= '0' && c <= '9') || c == '.' || c == '-')
        return true;
    return IsNameColumn(column) && ((c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'));
}

CellLeave CheckLeftCell(int column, const std::string& text, std::string& replacement) {
    const std::string trimmed = Trim(text);
    if (IsNameColumn(column)) {
        if (trimmed.size() <= 8)
            return CellLeave::Keep;
        replacement = trimmed.substr(0, 8);
        return CellLeave::Replace;
    }
    if (trimmed.empty())
        return CellLeave::Keep;
    const double value = ParseLenientNumber(trimmed);
    if (value >= 100000000.0 || value <= -10000000.0)
        return CellLeave::OverRange;
    replacement = FormatFixed(value, 3);
    return CellLeave::Replace;
}

} // namespace stadix
