#include "sdcard/JobName.h"

#include "base/TextFormat.h"

#include <cstring>

namespace stadix {

char JobNameCharacter(char typed) {
    if ((typed >= '0' && typed <= '9') || (typed >= 'A' && typed <= 'Z'))
        return typed;
    if (typed >= 'a' && typed <= 'z')
        return static_cast<char>(typed - 'a' + 'A');
    if (typed != '\0' && std::strchr(".-#$%!&@+*/", typed) != nullptr)
        return typed;
    return '\0';
}

std::optional<std::string> NewJobName(const std::string& typed) {
    std::string name = Trim(typed);
    if (name.empty() || name.size() > kJobNameLength)
        return std::nullopt;
    for (char& c : name) {
        c = JobNameCharacter(c);
        if (c == '\0')
            return std::nullopt;
    }
    return name;
}

} // namespace stadix
