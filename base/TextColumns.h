// Fixed-column text: padding a field to its width and reading a column range back.
// Inline: the record line readers call them for every field of every line.
#pragma once

#include "base/TextFormat.h"

#include <cstddef>
#include <string>

namespace stadix {

// The text followed by blanks up to width characters; a longer text is left whole.
inline std::string PadRight(std::string text, std::size_t width) {
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

// count characters from position first (0-based), trimmed; what lies beyond the end
// of the text is empty.
inline std::string Columns(const std::string& text, std::size_t first, std::size_t count) {
    if (text.size() <= first)
        return std::string();
    return std::string(TrimView(std::string_view(text).substr(first, count)));
}

} // namespace stadix
