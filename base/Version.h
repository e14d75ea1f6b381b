// The program's version, shown in the about window and by stadix-cli --version.
#pragma once

namespace stadix {
constexpr const char* kVersionText = "4.1";
} // namespace stadix
