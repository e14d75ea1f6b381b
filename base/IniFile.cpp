#include "base/IniFile.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "base/TextFormat.h"

#include <algorithm>
#include <filesystem>

namespace stadix {

namespace {

// ASCII only, whatever the process locale.
char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// The file's lines for a rewrite; none when it is missing. Throws FileError when it
// exists but cannot be read, so that it is never replaced by a partial copy.
std::vector<std::string> ReadLinesForRewrite(const std::string& path) {
    std::error_code ec;
    if (!std::filesystem::exists(path, ec))
        return {};
    return ReadFileLines(path);
}

void WriteLines(const std::string& path, const std::vector<std::string>& lines) {
    WriteFileAtomically(path, JoinLinesCrLf(lines));
}

// Removes the lines that equal the section line after trimming.
void RemoveSectionLines(std::vector<std::string>& lines, const std::string& sectionLine) {
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&](const std::string& line) { return Trim(line) == sectionLine; }),
                lines.end());
}

// The section name of a "[name]" line; nothing for any other line.
std::optional<std::string> SectionName(const std::string& line) {
    const std::string trimmed = Trim(line);
    const std::size_t close = trimmed.find(']');
    if (trimmed.empty() || trimmed[0] != '[' || close == std::string::npos)
        return std::nullopt;
    return Trim(trimmed.substr(1, close - 1));
}

bool IsSection(const std::string& line, const std::string& section) {
    const std::optional<std::string> name = SectionName(line);
    return name && SameWordIgnoringCase(*name, section);
}

// The key of a "key=value" line; empty for any other line.
std::string LineKey(const std::string& line) {
    const std::size_t equals = line.find('=');
    return equals == std::string::npos ? std::string() : Trim(line.substr(0, equals));
}

// The lines of a section: [first, end) after its header line.
struct SectionRange {
    std::size_t header;
    std::size_t first;
    std::size_t end;
};

std::optional<SectionRange> FindSection(const std::vector<std::string>& lines,
                                        const std::string& section) {
    const auto header = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return IsSection(line, section);
    });
    if (header == lines.end())
        return std::nullopt;
    const auto end = std::find_if(header + 1, lines.end(), [](const std::string& line) {
        return SectionName(line).has_value();
    });
    const auto index = static_cast<std::size_t>(header - lines.begin());
    return SectionRange{index, index + 1, static_cast<std::size_t>(end - lines.begin())};
}

std::optional<std::string> FindValue(const std::vector<std::string>& lines,
                                     const SectionRange& range, const std::string& key) {
    for (std::size_t i = range.first; i < range.end; ++i) {
        if (SameWordIgnoringCase(LineKey(lines[i]), key))
            return Trim(lines[i].substr(lines[i].find('=') + 1));
    }
    return std::nullopt;
}

// Sets one key within the section found in the lines.
void SetValue(std::vector<std::string>& lines, const SectionRange& range, const std::string& key,
              const std::string& value) {
    const std::string line = key + "=" + value;
    std::size_t insertAt = range.first;
    for (std::size_t i = range.first; i < range.end; ++i) {
        if (SameWordIgnoringCase(LineKey(lines[i]), key)) {
            lines[i] = line;
            return;
        }
        if (!Trim(lines[i]).empty())
            insertAt = i + 1;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
}

// The single character after the key on the trimmed line, as a digit; 0 otherwise.
int DigitAfterKey(const std::string& line, const std::string& key) {
    if (line.find(key) == std::string::npos || line.size() <= key.size())
        return 0;
    const char c = line[key.size()];
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

} // namespace

bool SameWordIgnoringCase(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

std::optional<std::string> ReadIniValue(const std::string& path, const std::string& section,
                                        const std::string& key) {
    const std::vector<std::string> lines = ReadSettingsLines(path);
    const std::optional<SectionRange> range = FindSection(lines, section);
    if (!range)
        return std::nullopt;
    return FindValue(lines, *range, key);
}

void WriteIniValues(const std::string& path, const std::string& section,
                    const std::vector<std::pair<std::string, std::string>>& values) {
    std::vector<std::string> lines = ReadLinesForRewrite(path);
    if (!FindSection(lines, section))
        lines.push_back("[" + section + "]");
    for (const auto& [key, value] : values)
        SetValue(lines, *FindSection(lines, section), key, value);
    WriteLines(path, lines);
}

std::vector<std::string> ReadSettingsLines(const std::string& path) {
    try {
        return ReadFileLines(path);
    } catch (const FileError&) {
        return {};
    }
}

std::optional<std::vector<std::string>> LinesAfterSection(const std::vector<std::string>& lines,
                                                          const std::string& sectionLine,
                                                          std::size_t count) {
    const auto header = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return Trim(line) == sectionLine;
    });
    if (header == lines.end() || static_cast<std::size_t>(lines.end() - header) <= count)
        return std::nullopt;
    std::vector<std::string> after;
    for (auto line = header + 1; line != header + 1 + static_cast<std::ptrdiff_t>(count); ++line)
        after.push_back(Trim(*line));
    return after;
}

int ReadSettingDigit(const std::string& path, const std::string& sectionLine,
                     const std::string& key) {
    const auto after = LinesAfterSection(ReadSettingsLines(path), sectionLine, 1);
    return after ? DigitAfterKey(after->front(), key) : 0;
}

void WriteSettingValue(const std::string& path, const std::string& sectionLine,
                       const std::string& key, int value) {
    std::vector<std::string> lines = ReadLinesForRewrite(path);
    RemoveSectionLines(lines, sectionLine);
    const auto keyLine = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return Trim(line).find(key) != std::string::npos;
    });
    if (keyLine != lines.end())
        lines.erase(keyLine);
    lines.push_back(sectionLine);
    lines.push_back(key + std::to_string(value));
    WriteLines(path, lines);
}

void WriteSectionAtEnd(const std::string& path, const std::string& sectionLine,
                       const std::vector<std::pair<std::string, std::string>>& keyValues) {
    std::vector<std::string> lines = ReadLinesForRewrite(path);
    RemoveSectionLines(lines, sectionLine);
    for (const auto& keyValue : keyValues) {
        const std::string& key = keyValue.first;
        lines.erase(std::remove_if(lines.begin(), lines.end(),
                                   [&](const std::string& line) {
                                       return line.find(key) != std::string::npos;
                                   }),
                    lines.end());
    }
    lines.push_back(sectionLine);
    for (const auto& [key, value] : keyValues)
        lines.push_back(key + value);
    WriteLines(path, lines);
}

} // namespace stadix
