// The one error type of the serial port component: what failed, in plain words, and
// why, in the system's words (the text of the error number, or that the line was hung
// up).
#pragma once

#include <stdexcept>
#include <string>

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

  private:
    PortOperation operation_;
    int errorCode_;
};

// The warning shown when the chosen port cannot be opened: the first line names the
// port, the second the system's reason and what to do about it.
std::string OpenFailedMessage(const std::string& portName, const ComPortError& failure);

} // namespace stadix
