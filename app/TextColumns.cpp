#include "app/TextColumns.h"

#include "app/String_func.h"

namespace stadix {

std::string PadRight(std::string text, std::size_t width) {
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string Columns(const std::string& text, std::size_t first, std::size_t count) {
    if (text.size() <= first)
        return std::string();
    return Trim(text.substr(first, count));
}

} // namespace stadix
