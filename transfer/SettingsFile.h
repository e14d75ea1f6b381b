// The settings file Commpara: an INI text file holding the serial settings of the port
// component, the one-digit settings of the system in sections of their own at the end,
// and the user-defined export layout. Every write keeps the rest of the file as it
// is, writes lines ending in CR LF and replaces the file whole or not at all; reads
// accept any line end. Readers treat a missing or unreadable file as empty.
#pragma once

#include "comport/PortSettings.h"

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace stadix {

constexpr const char* kSettingsFileName = "Commpara";
constexpr const char* kPortSection = "ComPort1";

constexpr const char* kCoordUnitSection = "[CoordUnitSetting]";
constexpr const char* kCoordUnitKey = "CoordUnit=";
constexpr const char* kDataFormatSection = "[DataFormatSetting]";
constexpr const char* kDataFormatKey = "DataFormat=";
constexpr const char* kGtsAckSection = "[GTSACKSetting]";
constexpr const char* kGtsAckKey = "GTSACK=";

// The value of key in the section named section (without brackets), both matched
// without regard to case, blanks around the value removed; nothing when the file,
// the section or the key is missing.
std::optional<std::string> ReadIniValue(const std::string& path, const std::string& section,
                                        const std::string& key);

// Sets the keys of the section: an existing key line is replaced where it stands, a
// new key goes after the section's last line, a missing section is added at the end
// of the file (created when missing). Throws FileError.
void WriteIniValues(const std::string& path, const std::string& section,
                    const std::vector<std::pair<std::string, std::string>>& values);

// Stores Port, BaudRate, CustomBaudRate (only for a custom rate), StopBits, DataBits,
// Parity and FlowControl into the section. Throws FileError.
void StorePortSettings(const std::string& path, const std::string& section,
                       const PortSettings& settings);

// Loads the keys that StorePortSettings writes; a missing key keeps the current
// value, an unknown word gives the default of its key.
void LoadPortSettings(const std::string& path, const std::string& section, PortSettings& settings);

// The one-digit value on the line directly after the first sectionLine (e.g.
// "[CoordUnitSetting]") when that line contains key (e.g. "CoordUnit="); 0 when the
// file, the section or the key line is missing or the character is not a digit.
int ReadSettingDigit(const std::string& path, const std::string& sectionLine,
                     const std::string& key);

// Moves the own section to the end of the file with the new value: every sectionLine
// and the first line containing key are removed, then both lines appended. Throws
// FileError.
void WriteSettingValue(const std::string& path, const std::string& sectionLine,
                       const std::string& key, int value);

} // namespace stadix
