#include "comport/ComPortError.h"

#include <cerrno>
#include <cstring>

namespace stadix {

namespace {

// The system's text of the error number, starting in lower case to follow a colon.
std::string ReasonText(int errorCode, bool hungUp) {
    if (hungUp)
        return "the line was hung up";
    std::string reason = std::strerror(errorCode);
    if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z' &&
        (reason.size() < 2 || reason[1] < 'A' || reason[1] > 'Z'))
        reason[0] = static_cast<char>(reason[0] - 'A' + 'a');
    return reason;
}

} // namespace

std::string PortOperationText(PortOperation operation) {
    switch (operation) {
    case PortOperation::Open:
        return "The port could not be opened";
    case PortOperation::Configure:
        return "The port did not take its settings";
    case PortOperation::Read:
        return "Reading from the port failed";
    case PortOperation::Write:
        return "Writing to the port failed";
    case PortOperation::CountInput:
        return "Looking for input on the port failed";
    case PortOperation::ClearBuffers:
        return "Clearing the port's buffers failed";
    case PortOperation::StoreSettings:
        return "The port settings could not be stored";
    }
    return "The port failed";
}

namespace {

// What the user can do about a port that does not open.
std::string OpenAdvice(int errorCode) {
    switch (errorCode) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return "Check the port name and that the cable or adapter is plugged in.";
    case EACCES:
    case EPERM:
        return "Ask for access to the port (on Linux, membership of the group that owns it, "
               "often dialout).";
    case EBUSY:
        return "Close the program that uses the port, or choose another port.";
    default:
        return "Check the port and its settings.";
    }
}

} // namespace

std::string OpenFailedMessage(const std::string& portName, const ComPortError& failure) {
    return "Unable to open " + portName + ". Maybe " + portName + " occupied.\n" + failure.what() +
           ". " + OpenAdvice(failure.ErrorCode());
}

ComPortError::ComPortError(PortOperation operation, int errorCode, bool hungUp)
    : std::runtime_error(PortOperationText(operation) + ": " + ReasonText(errorCode, hungUp)),
      operation_(operation), errorCode_(errorCode) {}

} // namespace stadix
