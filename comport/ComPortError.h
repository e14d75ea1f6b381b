// The one error type of the serial port component: what failed, in plain words, and
// why, in the system's words (the text of the error number, or that the line was hung
// up).
#pragma once

#include <stdexcept>
#include <string>
#include <utility>

namespace stadix {

enum class PortOperation { Open, Configure, Read, Write, CountInput, ClearBuffers, StoreSettings };

// What failed, e.g. "Reading from the port failed".
std::string PortOperationText(PortOperation operation);

class ComPortError : public std::runtime_error {
  public:
    // errorCode: the platform's error number (errno). hungUp: the line was hung up,
    // which the message says instead of the number's text.
    ComPortError(PortOperation operation, int errorCode, bool hungUp = false);

    PortOperation Operation() const { return operation_; }
    int ErrorCode() const { return errorCode_; }
    // The system's reason alone, e.g. "permission denied".
    const std::string& Reason() const { return reason_; }

    // The group that owns a device this user may not open; empty when unknown.
    const std::string& DeviceGroup() const { return deviceGroup_; }
    void SetDeviceGroup(std::string group) { deviceGroup_ = std::move(group); }
    // The setting a device refused, e.g. "7 data bits"; empty when unknown.
    const std::string& RefusedSetting() const { return refusedSetting_; }
    void SetRefusedSetting(std::string setting) { refusedSetting_ = std::move(setting); }

  private:
    PortOperation operation_;
    int errorCode_;
    std::string reason_;
    std::string deviceGroup_;
    std::string refusedSetting_;
};

// Why a port did not open, as far as the user can act on it.
enum class OpenProblem { NotConnected, NoPermission, Busy, RefusedSetting, NotAPort, Other };
OpenProblem OpenProblemOf(const ComPortError& failure);

// The warning shown when the chosen port cannot be opened: the first line names the
// port, the second the system's reason and what to do about it (a device that is not
// connected, that belongs to a group this user is not in, that is busy, or that
// refused a setting).
std::string OpenFailedMessage(const std::string& portName, const ComPortError& failure);

} // namespace stadix
