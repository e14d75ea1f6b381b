#include "comport/EComPort.h"

namespace stadix {

std::string ComPortErrorText(ComPortErrorKind kind) {
    switch (kind) {
    case ComPortErrorKind::OpenPort:
        return "Unable to open com port";
    case ComPortErrorKind::WriteFile:
        return "WriteFile function failed";
    case ComPortErrorKind::ReadFile:
        return "ReadFile function failed";
    case ComPortErrorKind::PurgeComm:
        return "PurgeComm function failed";
    case ComPortErrorKind::SetCommState:
        return "SetCommState function failed";
    case ComPortErrorKind::SetCommTimeouts:
        return "SetCommTimeouts failed";
    case ComPortErrorKind::SetupComm:
        return "SetupComm function failed";
    case ComPortErrorKind::ClearCommError:
        return "ClearCommError function failed";
    case ComPortErrorKind::EnumPorts:
        return "EnumPorts function failed";
    case ComPortErrorKind::StoreSettings:
        return "Failed to store settings";
    case ComPortErrorKind::LoadSettings:
        return "Failed to load settings";
    }
    return "Unknown com port error";
}

EComPort::EComPort(ComPortErrorKind kind, int errorCode)
    : std::runtime_error(ComPortErrorText(kind) + " (win error code: " + std::to_string(errorCode) +
                         ")"),
      kind_(kind), errorCode_(errorCode) {}

} // namespace stadix
