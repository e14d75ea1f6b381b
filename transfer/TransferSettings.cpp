#include "transfer/TransferSettings.h"

#include "base/IniFile.h"

#include <filesystem>

namespace stadix {

namespace {

constexpr std::size_t kBaud9600Index = 4;

// A stored digit beyond the choices counts as the first choice.
template <typename Enum> Enum StoredChoice(int digit, int choices) {
    return static_cast<Enum>(digit < choices ? digit : 0);
}

} // namespace

std::size_t TransferBaudIndex(BaudRate rate) {
    for (std::size_t i = 0; i < kTransferBaudRates.size(); ++i) {
        if (kTransferBaudRates[i] == rate)
            return i;
    }
    return kBaud9600Index;
}

CharacterFormat CharacterFormatOf(const PortSettings& port) {
    if (port.dataBits == 7 && port.parity == Parity::Even)
        return CharacterFormat::SevenEven;
    if (port.dataBits == 7 && port.parity == Parity::Odd)
        return CharacterFormat::SevenOdd;
    return CharacterFormat::EightNone;
}

void SetCharacterFormat(PortSettings& port, CharacterFormat format) {
    port.dataBits = format == CharacterFormat::EightNone ? 8 : 7;
    port.parity = format == CharacterFormat::SevenEven  ? Parity::Even
                  : format == CharacterFormat::SevenOdd ? Parity::Odd
                                                        : Parity::None;
}

void ApplyFormatRule(TransferSettings& settings) {
    if (settings.dataFormat != DataFormat::Kvr)
        return;
    SetCharacterFormat(settings.port, CharacterFormat::EightNone);
    settings.port.stopBits = StopBits::One;
}

TransferSettings LoadTransferSettings(const std::string& path, TransferSettings current) {
    LoadPortSettings(path, kPortSection, current.port);
    current.coordUnit =
        StoredChoice<CoordUnit>(ReadSettingDigit(path, kCoordUnitSection, kCoordUnitKey), 3);
    current.dataFormat =
        StoredChoice<DataFormat>(ReadSettingDigit(path, kDataFormatSection, kDataFormatKey), 3);
    current.protocol =
        StoredChoice<GtsProtocol>(ReadSettingDigit(path, kGtsAckSection, kGtsAckKey), 2);
    current.keepLineLog = ReadSettingDigit(path, kLineLogSection, kLineLogKey) == 1;
    current.lineLogFolder = std::filesystem::path(path).parent_path().string();
    return current;
}

void StoreTransferSettings(const std::string& path, const TransferSettings& settings) {
    StorePortSettings(path, kPortSection, settings.port);
    WriteSettingValue(path, kCoordUnitSection, kCoordUnitKey, static_cast<int>(settings.coordUnit));
    WriteSettingValue(path, kDataFormatSection, kDataFormatKey,
                      static_cast<int>(settings.dataFormat));
    if (settings.dataFormat == DataFormat::Gts)
        WriteSettingValue(path, kGtsAckSection, kGtsAckKey, static_cast<int>(settings.protocol));
    if (settings.keepLineLog || ReadSettingDigit(path, kLineLogSection, kLineLogKey) != 0)
        WriteSettingValue(path, kLineLogSection, kLineLogKey, settings.keepLineLog ? 1 : 0);
}

std::string LineLogPath(const TransferSettings& settings, const std::tm& localTime) {
    if (!settings.lineLogFile.empty())
        return settings.lineLogFile;
    if (!settings.keepLineLog)
        return {};
    char name[40];
    std::strftime(name, sizeof name, "LineLog-%Y%m%d-%H%M%S.log", &localTime);
    return (std::filesystem::path(settings.lineLogFolder) / name).string();
}

} // namespace stadix
