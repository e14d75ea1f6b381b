#include "comport/ComPortError.h"

#include <cerrno>
#include <cstring>

namespace stadix {

namespace {

// The system's text of the error number, starting in lower case to follow a colon.
std::string ReasonText(int errorCode, bool hungUp) {
    if (hungUp)
        return "the line was hung up";
    if (errorCode == ENOTTY)
        return "it is not a serial port";
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

OpenProblem OpenProblemOf(const ComPortError& failure) {
    if (!failure.RefusedSetting().empty())
        return OpenProblem::RefusedSetting;
    switch (failure.ErrorCode()) {
    case ENOENT:
    case ENODEV:
    case ENXIO:
        return OpenProblem::NotConnected;
    case EACCES:
    case EPERM:
        return OpenProblem::NoPermission;
    case EBUSY:
        return OpenProblem::Busy;
    case ENOTTY:
        return OpenProblem::NotAPort;
    default:
        return OpenProblem::Other;
    }
}

namespace {

// What the user can do about a port that does not open.
std::string OpenFailureAdvice(const ComPortError& failure) {
    switch (OpenProblemOf(failure)) {
    case OpenProblem::RefusedSetting:
        return "The port does not take " + failure.RefusedSetting() +
               ": choose another setting, or a port that supports it.";
    case OpenProblem::NotConnected:
        return "The device is not connected: plug in the cable or adapter, or check the port "
               "name.";
    case OpenProblem::NoPermission:
        if (failure.DeviceGroup().empty())
            return "This user may not use the port: ask for access to it.";
        return "This user may not use the port: add the user to the group " +
               failure.DeviceGroup() + ", which owns it, and log in again.";
    case OpenProblem::Busy:
        return "The port is busy: another program is using it. Close that program, or choose "
               "another port.";
    case OpenProblem::NotAPort:
        return "The name is that of a file: choose the device of a serial port, such as "
               "/dev/ttyUSB0.";
    case OpenProblem::Other:
        break;
    }
    return "Check the port and its settings.";
}

} // namespace

std::string OpenFailedMessage(const std::string& portName, const ComPortError& failure) {
    return "Unable to open " + portName + ". Maybe " + portName + " occupied.\n" + failure.what() +
           ". " + OpenFailureAdvice(failure);
}

ComPortError::ComPortError(PortOperation operation, int errorCode, bool hungUp)
    : std::runtime_error(PortOperationText(operation) + ": " + ReasonText(errorCode, hungUp)),
      operation_(operation), errorCode_(errorCode), reason_(ReasonText(errorCode, hungUp)) {}

} // namespace stadix
