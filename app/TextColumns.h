// Fixed-column text: padding a field to its width and reading a column range back.
#pragma once

#include <cstddef>
#include <string>

namespace stadix {

// The text followed by blanks up to width characters; a longer text is left whole.
std::string PadRight(std::string text, std::size_t width);

// count characters from position first (0-based), trimmed; what lies beyond the end
// of the text is empty.
std::string Columns(const std::string& text, std::size_t first, std::size_t count);

} // namespace stadix
