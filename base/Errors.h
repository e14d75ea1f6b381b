// Failures that end a whole operation and are shown to the user in the standard
// error box (the window) or on standard error (stadix-cli).
#pragma once

#include <stdexcept>
#include <string>

namespace stadix {

// A numeric text that does not convert; ends the gather, conversion or import in
// progress.
class ConversionError : public std::runtime_error {
  public:
    explicit ConversionError(const std::string& text)
        : std::runtime_error("'" + text + "' is not a valid floating point value") {}
    // The same failure in a cell of the record table, so that the user can find it.
    ConversionError(int row, const std::string& column, const std::string& text)
        : std::runtime_error("Row " + std::to_string(row) + ", " + column + ": '" + text +
                             "' is not a valid floating point value") {}
};

// A file that cannot be read or written.
class FileError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

} // namespace stadix
