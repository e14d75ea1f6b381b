// What the protocol engines need of an open serial line. The port component's
// implementation lives with the sessions; tests and fuzz targets hold the line in
// memory.
#pragma once

#include <cstddef>
#include <string>

namespace stadix {

class LinePort {
  public:
    virtual ~LinePort() = default;
    // Bytes waiting in the input queue.
    virtual int BytesWaiting() = 0;
    // Up to count bytes from the input queue.
    virtual std::string Read(int count) = 0;
    virtual void Write(const std::string& bytes) = 0;
    virtual void ClearBuffer(bool input, bool output) = 0;
    // How long the characters take to cross the line at its rate and character format;
    // a wait for bytes on the line lasts at least this long.
    virtual int LineTimeMs(std::size_t characters) = 0;
    // Waits up to ms milliseconds for input; true when bytes are waiting. Only the
    // engines that run on a worker thread wait.
    virtual bool WaitForInput(int ms) = 0;
};

} // namespace stadix
