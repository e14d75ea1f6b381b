#include "transfer/SettingsFile.h"

#include "app/Errors.h"
#include "app/FileIO.h"
#include "app/String_func.h"

#include <algorithm>
#include <array>
#include <filesystem>

namespace stadix {

namespace {

constexpr std::array<const char*, 16> kBaudWords = {
    "Custom", "110",   "300",   "600",   "1200",  "2400",   "4800",   "9600",
    "14400",  "19200", "38400", "56000", "57600", "115200", "128000", "256000"};
constexpr std::array<const char*, 3> kStopBitsWords = {"1", "1.5", "2"};
constexpr std::array<const char*, 4> kDataBitsWords = {"5", "6", "7", "8"};
constexpr std::array<const char*, 5> kParityWords = {"None", "Odd", "Even", "Mark", "Space"};
constexpr int kDefaultCustomBaudRate = 9600;

// ASCII only, whatever the process locale.
char LowerAscii(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

bool SameWord(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return LowerAscii(x) == LowerAscii(y);
           });
}

// Index of the word in the list, compared without regard to case; fallback when absent.
template <std::size_t N>
std::size_t WordIndex(const std::array<const char*, N>& words, const std::string& word,
                      std::size_t fallback) {
    for (std::size_t i = 0; i < N; ++i) {
        if (SameWord(words[i], word))
            return i;
    }
    return fallback;
}

// The file's lines; none when it is missing or cannot be read.
std::vector<std::string> ReadLinesOrNone(const std::string& path) {
    try {
        return ReadFileLines(path);
    } catch (const FileError&) {
        return {};
    }
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
    return name && SameWord(*name, section);
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
        if (SameWord(LineKey(lines[i]), key))
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
        if (SameWord(LineKey(lines[i]), key)) {
            lines[i] = line;
            return;
        }
        if (!Trim(lines[i]).empty())
            insertAt = i + 1;
    }
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(insertAt), line);
}

// Hardware, Software or None when the four flow settings form that combination.
std::string FlowControlWord(const PortSettings& settings) {
    const bool xonXoffOff = !settings.xonXoffOut && !settings.xonXoffIn;
    if (settings.rtsControl == RtsControl::Handshake && settings.outCtsFlow && xonXoffOff)
        return "Hardware";
    if (settings.rtsControl == RtsControl::Disable && !settings.outCtsFlow) {
        if (settings.xonXoffOut && settings.xonXoffIn)
            return "Software";
        if (xonXoffOff)
            return "None";
    }
    return "Custom";
}

void ApplyFlowControlWord(const std::string& word, PortSettings& settings) {
    const bool hardware = SameWord(word, "Hardware");
    const bool software = SameWord(word, "Software");
    if (!hardware && !software && !SameWord(word, "None"))
        return;
    settings.rtsControl = hardware ? RtsControl::Handshake : RtsControl::Disable;
    settings.outCtsFlow = hardware;
    settings.xonXoffOut = software;
    settings.xonXoffIn = software;
}

// A positive decimal integer; the default rate for anything else.
int CustomBaudRateValue(const std::string& text) {
    if (text.empty() || text.size() > 9 ||
        !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
        return kDefaultCustomBaudRate;
    const int rate = std::stoi(text);
    return rate > 0 ? rate : kDefaultCustomBaudRate;
}

// The single character after the key on the trimmed line, as a digit; 0 otherwise.
int DigitAfterKey(const std::string& line, const std::string& key) {
    if (line.find(key) == std::string::npos || line.size() <= key.size())
        return 0;
    const char c = line[key.size()];
    return c >= '0' && c <= '9' ? c - '0' : 0;
}

} // namespace

std::optional<std::string> ReadIniValue(const std::string& path, const std::string& section,
                                        const std::string& key) {
    const std::vector<std::string> lines = ReadLinesOrNone(path);
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

void StorePortSettings(const std::string& path, const std::string& section,
                       const PortSettings& settings) {
    std::vector<std::pair<std::string, std::string>> values;
    values.emplace_back("Port", settings.portName);
    values.emplace_back("BaudRate", kBaudWords[static_cast<std::size_t>(settings.baudRate)]);
    if (settings.baudRate == BaudRate::Custom)
        values.emplace_back("CustomBaudRate", std::to_string(settings.customBaudRate));
    values.emplace_back("StopBits", kStopBitsWords[static_cast<std::size_t>(settings.stopBits)]);
    values.emplace_back("DataBits", std::to_string(settings.dataBits));
    values.emplace_back("Parity", kParityWords[static_cast<std::size_t>(settings.parity)]);
    values.emplace_back("FlowControl", FlowControlWord(settings));
    WriteIniValues(path, section, values);
}

void LoadPortSettings(const std::string& path, const std::string& section, PortSettings& settings) {
    const std::vector<std::string> lines = ReadLinesOrNone(path);
    const std::optional<SectionRange> range = FindSection(lines, section);
    if (!range)
        return;
    const auto value = [&](const char* key) { return FindValue(lines, *range, key); };
    if (const auto port = value("Port"))
        settings.portName = *port;
    if (const auto baud = value("BaudRate"))
        settings.baudRate = static_cast<BaudRate>(
            WordIndex(kBaudWords, *baud, static_cast<std::size_t>(BaudRate::Br9600)));
    if (const auto custom = value("CustomBaudRate"))
        settings.customBaudRate = CustomBaudRateValue(*custom);
    if (const auto stopBits = value("StopBits"))
        settings.stopBits = static_cast<StopBits>(WordIndex(kStopBitsWords, *stopBits, 0));
    if (const auto dataBits = value("DataBits"))
        settings.dataBits = 5 + static_cast<int>(WordIndex(kDataBitsWords, *dataBits, 3));
    if (const auto parity = value("Parity"))
        settings.parity = static_cast<Parity>(WordIndex(kParityWords, *parity, 0));
    if (const auto flow = value("FlowControl"))
        ApplyFlowControlWord(*flow, settings);
}

int ReadSettingDigit(const std::string& path, const std::string& sectionLine,
                     const std::string& key) {
    const std::vector<std::string> lines = ReadLinesOrNone(path);
    const auto header = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return Trim(line) == sectionLine;
    });
    if (header == lines.end() || header + 1 == lines.end())
        return 0;
    return DigitAfterKey(Trim(*(header + 1)), key);
}

void WriteSettingValue(const std::string& path, const std::string& sectionLine,
                       const std::string& key, int value) {
    std::vector<std::string> lines = ReadLinesForRewrite(path);
    lines.erase(std::remove_if(lines.begin(), lines.end(),
                               [&](const std::string& line) { return Trim(line) == sectionLine; }),
                lines.end());
    const auto keyLine = std::find_if(lines.begin(), lines.end(), [&](const std::string& line) {
        return Trim(line).find(key) != std::string::npos;
    });
    if (keyLine != lines.end())
        lines.erase(keyLine);
    lines.push_back(sectionLine);
    lines.push_back(key + std::to_string(value));
    WriteLines(path, lines);
}

} // namespace stadix
