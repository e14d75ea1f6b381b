// The settings of a serial port, as the port component holds them and as the
// settings file stores them in the port's own section. Plain data: the component
// applies them to a device.
#pragma once

#include <cstddef>
#include <string>

namespace stadix {

enum class BaudRate {
    Custom,
    Br110,
    Br300,
    Br600,
    Br1200,
    Br2400,
    Br4800,
    Br9600,
    Br14400,
    Br19200,
    Br38400,
    Br56000,
    Br57600,
    Br115200,
    Br128000,
    Br256000
};
enum class StopBits { One, OnePointFive, Two };
enum class Parity { None, Odd, Even, Mark, Space };
enum class DtrControl { Disable, Enable, Handshake };
enum class RtsControl { Disable, Enable, Handshake, Toggle };

struct PortSettings {
#ifdef _WIN32
    std::string portName = "COM1";
#else
    std::string portName = "ttyS0";
#endif
    BaudRate baudRate = BaudRate::Br9600;
    int customBaudRate = 9600;
    int dataBits = 8;
    StopBits stopBits = StopBits::One;
    Parity parity = Parity::None;
    bool outCtsFlow = false;
    bool outDsrFlow = false;
    DtrControl dtrControl = DtrControl::Disable;
    RtsControl rtsControl = RtsControl::Disable;
    bool xonXoffOut = false;
    bool xonXoffIn = false;
};

// The port's own section of the settings file.
constexpr const char* kPortSection = "ComPort1";

// The bits per second of the rate; the custom rate for BaudRate::Custom.
int BaudRateValue(const PortSettings& settings);

// How long the characters take to cross the line at the port's rate, each with its
// start bit, data bits, parity bit (if any) and stop bits; whole milliseconds, rounded
// up. Waits for bytes on the line are at least this long.
int LineTimeMs(const PortSettings& settings, std::size_t characters);

// The flow control a device is asked for: RTS/CTS when either side of it is on, else
// Xon/Xoff when either direction is on. Devices know no DSR flow.
enum class FlowControl { None, Hardware, Software };
FlowControl FlowControlOf(const PortSettings& settings);

// One setting of a device, as a refusal names it.
enum class PortSetting { BaudRate, DataBits, Parity, StopBits, FlowControl };
// The setting's value in words: "19200 baud", "7 data bits", "even parity", "2 stop
// bits", "hardware flow control".
std::string PortSettingText(const PortSettings& settings, PortSetting setting);

// Stores Port, BaudRate, CustomBaudRate (only for a custom rate), StopBits, DataBits,
// Parity and FlowControl into the section. Throws FileError.
void StorePortSettings(const std::string& path, const std::string& section,
                       const PortSettings& settings);

// Loads the keys that StorePortSettings writes; a missing key keeps the current
// value, an unknown word gives the default of its key.
void LoadPortSettings(const std::string& path, const std::string& section, PortSettings& settings);

} // namespace stadix
