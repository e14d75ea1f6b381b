#include "app/CellRules.h"

#include "app/Errors.h"
#include "app/RecordTable.h"
#include "app/TextFormat.h"

#include <algorithm>

namespace stadix {

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

} // namespace stadix
