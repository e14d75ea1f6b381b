#include "comport/ComPortError.h"

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

std::string OpenFailedMessage(const std::string& portName) {
    return "Unable to open " + portName + ". Maybe " + portName + " occupied.";
}

ComPortError::ComPortError(PortOperation operation, int errorCode, bool hungUp)
    : std::runtime_error(PortOperationText(operation) + ": " + ReasonText(errorCode, hungUp)),
      operation_(operation), errorCode_(errorCode) {}

} // namespace stadix
