// INI text files as the settings file uses them: "[section]" lines and "key=value"
// lines, plus the system's own one-digit sections. Every write keeps the rest of the
// file as it is, writes lines ending in CR LF and replaces the file whole or not at
// all; reads accept any line end. Readers treat a missing or unreadable file as empty.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

namespace stadix {

// ASCII letters compared without regard to case, whatever the process locale.
bool SameWordIgnoringCase(const std::string& a, const std::string& b);

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

// The one-digit value on the line directly after the first sectionLine (e.g.
// "[CoordUnitSetting]") when that line contains key (e.g. "CoordUnit="); 0 when the
// file, the section or the key line is missing or the character is not a digit.
int ReadSettingDigit(const std::string& path, const std::string& sectionLine,
                     const std::string& key);

// The file's lines; none when it is missing or cannot be read.
std::vector<std::string> ReadSettingsLines(const std::string& path);

// The count lines that follow the first line equal to sectionLine after trimming, each
// trimmed; nothing when there is no such line or fewer lines follow it.
std::optional<std::vector<std::string>> LinesAfterSection(const std::vector<std::string>& lines,
                                                          const std::string& sectionLine,
                                                          std::size_t count);

// Puts an own section of several keys at the end of the file: every sectionLine and every
// line that contains one of the keys (e.g. "DefName=") are removed wherever they stand,
// then sectionLine and the key lines (key followed by its value) are appended. Throws
// FileError.
void WriteSectionAtEnd(const std::string& path, const std::string& sectionLine,
                       const std::vector<std::pair<std::string, std::string>>& keyValues);

// Moves the own section to the end of the file with the new value: every sectionLine
// and the first line containing key are removed, then both lines appended. Throws
// FileError.
void WriteSettingValue(const std::string& path, const std::string& sectionLine,
                       const std::string& key, int value);

} // namespace stadix
