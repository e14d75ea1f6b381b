// The one error type of the serial port component: what failed (a kind with a fixed
// text) and the platform's error number (errno).
#pragma once

#include <stdexcept>
#include <string>

namespace stadix {

enum class ComPortErrorKind {
    OpenPort,
    WriteFile,
    ReadFile,
    PurgeComm,
    SetCommState,
    SetCommTimeouts,
    SetupComm,
    ClearCommError,
    EnumPorts,
    StoreSettings,
    LoadSettings
};

// The fixed text of a kind, e.g. "Unable to open com port".
std::string ComPortErrorText(ComPortErrorKind kind);

class EComPort : public std::runtime_error {
  public:
    // The message is the kind's text followed by " (win error code: <errorCode>)".
    EComPort(ComPortErrorKind kind, int errorCode);

    ComPortErrorKind Kind() const { return kind_; }
    int ErrorCode() const { return errorCode_; }

  private:
    ComPortErrorKind kind_;
    int errorCode_;
};

} // namespace stadix
