// Bytes written as hex pairs, for the block layouts of the engine and codec tests.
#pragma once

#include <string>

namespace stadix::test {

// Blanks between the pairs are for reading only.
inline std::string Hex(const std::string& pairs) {
    std::string bytes;
    for (std::size_t i = 0; i < pairs.size(); ++i) {
        if (pairs[i] != ' ')
            bytes += static_cast<char>(std::stoi(pairs.substr(i++, 2), nullptr, 16));
    }
    return bytes;
}

} // namespace stadix::test
