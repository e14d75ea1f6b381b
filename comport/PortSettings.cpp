#include "comport/PortSettings.h"

#include "base/IniFile.h"

#include <algorithm>
#include <array>

namespace stadix {

namespace {

// The words of the settings file and the rates they stand for, in BaudRate order.
struct BaudEntry {
    const char* word;
    int value;
};
constexpr std::array<BaudEntry, 16> kBaudTable = {{{"Custom", 0},
                                                   {"110", 110},
                                                   {"300", 300},
                                                   {"600", 600},
                                                   {"1200", 1200},
                                                   {"2400", 2400},
                                                   {"4800", 4800},
                                                   {"9600", 9600},
                                                   {"14400", 14400},
                                                   {"19200", 19200},
                                                   {"38400", 38400},
                                                   {"56000", 56000},
                                                   {"57600", 57600},
                                                   {"115200", 115200},
                                                   {"128000", 128000},
                                                   {"256000", 256000}}};
constexpr std::array<const char*, 3> kStopBitsWords = {"1", "1.5", "2"};
constexpr std::array<const char*, 4> kDataBitsWords = {"5", "6", "7", "8"};
constexpr std::array<const char*, 5> kParityWords = {"None", "Odd", "Even", "Mark", "Space"};
constexpr int kDefaultCustomBaudRate = 9600;

// Index of the word in the list, compared without regard to case; fallback when absent.
template <typename List, typename WordOf>
std::size_t WordIndex(const List& list, WordOf wordOf, const std::string& word,
                      std::size_t fallback) {
    for (std::size_t i = 0; i < list.size(); ++i) {
        if (SameWordIgnoringCase(wordOf(list[i]), word))
            return i;
    }
    return fallback;
}

template <std::size_t N>
std::size_t WordIndex(const std::array<const char*, N>& words, const std::string& word,
                      std::size_t fallback) {
    return WordIndex(
        words, [](const char* w) { return w; }, word, fallback);
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
    const bool hardware = SameWordIgnoringCase(word, "Hardware");
    const bool software = SameWordIgnoringCase(word, "Software");
    if (!hardware && !software && !SameWordIgnoringCase(word, "None"))
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

} // namespace

int BaudRateValue(const PortSettings& settings) {
    if (settings.baudRate == BaudRate::Custom)
        return settings.customBaudRate;
    return kBaudTable[static_cast<std::size_t>(settings.baudRate)].value;
}

int LineTimeMs(const PortSettings& settings, std::size_t characters) {
    // Counted in half bits, for 1.5 stop bits.
    constexpr std::array<long long, 3> kStopHalfBits = {2, 3, 4};
    const long long halfBits =
        2 * (1 + settings.dataBits + (settings.parity == Parity::None ? 0 : 1)) +
        kStopHalfBits[static_cast<std::size_t>(settings.stopBits)];
    const long long halfBitsPerSecond = 2LL * BaudRateValue(settings);
    const long long ms =
        (static_cast<long long>(characters) * halfBits * 1000 + halfBitsPerSecond - 1) /
        halfBitsPerSecond;
    return static_cast<int>(ms);
}

FlowControl FlowControlOf(const PortSettings& settings) {
    if (settings.outCtsFlow || settings.rtsControl == RtsControl::Handshake)
        return FlowControl::Hardware;
    if (settings.xonXoffOut || settings.xonXoffIn)
        return FlowControl::Software;
    return FlowControl::None;
}

std::string PortSettingText(const PortSettings& settings, PortSetting setting) {
    constexpr std::array<const char*, 5> kParityNames = {"no", "odd", "even", "mark", "space"};
    constexpr std::array<const char*, 3> kFlowNames = {"no", "hardware", "software"};
    switch (setting) {
    case PortSetting::BaudRate:
        return std::to_string(BaudRateValue(settings)) + " baud";
    case PortSetting::DataBits:
        return std::to_string(settings.dataBits) + " data bits";
    case PortSetting::Parity:
        return std::string(kParityNames[static_cast<std::size_t>(settings.parity)]) + " parity";
    case PortSetting::StopBits:
        return std::string(kStopBitsWords[static_cast<std::size_t>(settings.stopBits)]) +
               (settings.stopBits == StopBits::One ? " stop bit" : " stop bits");
    case PortSetting::FlowControl:
        return std::string(kFlowNames[static_cast<std::size_t>(FlowControlOf(settings))]) +
               " flow control";
    }
    return "the settings";
}

void StorePortSettings(const std::string& path, const std::string& section,
                       const PortSettings& settings) {
    std::vector<std::pair<std::string, std::string>> values;
    values.emplace_back("Port", settings.portName);
    values.emplace_back("BaudRate", kBaudTable[static_cast<std::size_t>(settings.baudRate)].word);
    if (settings.baudRate == BaudRate::Custom)
        values.emplace_back("CustomBaudRate", std::to_string(settings.customBaudRate));
    values.emplace_back("StopBits", kStopBitsWords[static_cast<std::size_t>(settings.stopBits)]);
    values.emplace_back("DataBits", std::to_string(settings.dataBits));
    values.emplace_back("Parity", kParityWords[static_cast<std::size_t>(settings.parity)]);
    values.emplace_back("FlowControl", FlowControlWord(settings));
    WriteIniValues(path, section, values);
}

void LoadPortSettings(const std::string& path, const std::string& section, PortSettings& settings) {
    const auto value = [&](const char* key) { return ReadIniValue(path, section, key); };
    if (const auto port = value("Port"))
        settings.portName = *port;
    if (const auto baud = value("BaudRate"))
        settings.baudRate = static_cast<BaudRate>(WordIndex(
            kBaudTable, [](const BaudEntry& entry) { return entry.word; }, *baud,
            static_cast<std::size_t>(BaudRate::Br9600)));
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

} // namespace stadix
