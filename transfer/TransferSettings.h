// The settings of a transfer with the total station, as the settings dialog shows
// them and the settings file keeps them: the port and its line settings, the data
// format, the GTS protocol and the coordinate unit. The rules that tie them together
// live here, so that the window and stadix-cli apply the same ones.
#pragma once

#include "comport/PortSettings.h"
#include "job/DataKinds.h"

#include <array>
#include <ctime>
#include <string>

namespace stadix {

enum class GtsProtocol { AckNak, OneWay };
// The data bits and parity of the line, as the settings dialog offers them.
enum class CharacterFormat { SevenEven, SevenOdd, EightNone };

struct TransferSettings {
    // The port name, baud rate, character format and stop bits, with the port's other
    // settings as the settings file holds them.
    PortSettings port;
    DataFormat dataFormat = DataFormat::Kvr;
    GtsProtocol protocol = GtsProtocol::AckNak;
    CoordUnit coordUnit = CoordUnit::Metre;
    // Every transfer keeps a line log in lineLogFolder, the settings file's folder.
    bool keepLineLog = false;
    std::string lineLogFolder;
    // This transfer's line log, named by the user; it takes the place of the above.
    std::string lineLogFile;
};

// The baud rates a transfer offers, slowest first.
constexpr std::array<BaudRate, 7> kTransferBaudRates = {
    BaudRate::Br600,  BaudRate::Br1200,  BaudRate::Br2400, BaudRate::Br4800,
    BaudRate::Br9600, BaudRate::Br19200, BaudRate::Br38400};

// The rate's position in kTransferBaudRates; that of 9600 for a rate not offered.
std::size_t TransferBaudIndex(BaudRate rate);

// 7/Even, 7/Odd, or 8/None for anything else.
CharacterFormat CharacterFormatOf(const PortSettings& port);
void SetCharacterFormat(PortSettings& port, CharacterFormat format);

// KVR always runs with 8 data bits, no parity and one stop bit.
void ApplyFormatRule(TransferSettings& settings);

// The sections of the settings file that hold the transfer settings.
constexpr const char* kCoordUnitSection = "[CoordUnitSetting]";
constexpr const char* kCoordUnitKey = "CoordUnit=";
constexpr const char* kDataFormatSection = "[DataFormatSetting]";
constexpr const char* kDataFormatKey = "DataFormat=";
constexpr const char* kGtsAckSection = "[GTSACKSetting]";
constexpr const char* kGtsAckKey = "GTSACK=";
constexpr const char* kLineLogSection = "[LineLogSetting]";
constexpr const char* kLineLogKey = "LineLog=";

// The settings from the file at path, on top of current: a port key that is missing
// keeps its current value; a missing or unknown digit gives the first choice. The line
// logs go beside the file.
TransferSettings LoadTransferSettings(const std::string& path, TransferSettings current);

// Stores the settings into the file at path. The protocol is stored only with GTS, so
// that a choice made for GTS outlives the others; the line log choice only once a log
// has been kept, so that a file that never asked for one stays as it was. Throws
// FileError.
void StoreTransferSettings(const std::string& path, const TransferSettings& settings);

// The file of a transfer's line log: the file named, else with keepLineLog one in the
// log folder named by the local date and time ("LineLog-20240501-140322.log"), else
// none (empty).
std::string LineLogPath(const TransferSettings& settings, const std::tm& localTime);

} // namespace stadix
