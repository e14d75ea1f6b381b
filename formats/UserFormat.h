// The user-defined export layout: which record field goes into each of five comma
// columns, whether a sequence number leads each line, the name under which Export
// lists the layout and the file extension it offers. The settings file keeps it in its
// section "[UserDefFormat1]", always as the last four lines of the file.
#pragma once

#include "job/RecordTable.h"

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace stadix {

struct UserFormat {
    std::string name;      // never empty when read back
    std::string extension; // without dot, at most 3 characters when read back; may be empty
    // The field of each column: point name, N, E, Z or code.
    std::array<TableColumn, 5> columns = {ColPt, ColN, ColE, ColZ, ColCode};
    bool numbered = false;
};

// The layout Export uses when none can be read: "Format defined by user", "dat",
// point name, N, E, Z and code, no sequence number.
UserFormat DefaultUserFormat();

// The layout stored in the lines of a settings file; nothing when the section, one of
// its key lines, the name or a valid order word is missing.
std::optional<UserFormat> ParseUserFormat(const std::vector<std::string>& settingsLines);

// The layout stored in the settings file; nothing when the file cannot be read or holds
// no valid layout.
std::optional<UserFormat> ReadUserFormat(const std::string& settingsPath);

// Stores the layout as the last four lines of the settings file (created when missing),
// removing the section's lines and keys wherever they stand; the other settings stay.
// Throws FileError; the file is then as it was.
void WriteUserFormat(const std::string& settingsPath, const UserFormat& format);

// The record's fields of columns 1 to 4 joined by commas, then a comma and the field of
// column 5 when that field is not empty; with numbering, the serial number and a comma
// in front. No line end.
std::string UserDefinedLine(std::size_t serial, const std::string& recordLine,
                            const UserFormat& format);

} // namespace stadix
