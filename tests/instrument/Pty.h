// A pseudo-terminal pair for tests: the program opens one end by its device path, as
// it would open a serial port; the test plays the instrument on the other end.
#pragma once

#include <chrono>
#include <cstddef>
#include <string>
#include <termios.h>

namespace stadix::test {

// The milliseconds left until the deadline; 0 once it has passed.
int MillisecondsLeft(std::chrono::steady_clock::time_point deadline);

class Pty {
  public:
    // Opens the pair, both ends raw. Throws std::runtime_error.
    Pty();
    ~Pty();
    Pty(const Pty&) = delete;
    Pty& operator=(const Pty&) = delete;

    // The device path of the program's end, e.g. "/dev/pts/3".
    const std::string& DevicePath() const { return devicePath_; }

    // Writes all bytes from the instrument's end; false when they could not all be
    // written within timeoutMs.
    bool Write(const std::string& bytes, int timeoutMs = 2000);
    // Reads from the instrument's end until count bytes have come or timeoutMs has
    // passed; returns what came.
    std::string Read(std::size_t count, int timeoutMs = 2000);

    // Closes the instrument's end: the program's end sees a hang-up.
    void Close();

    // The line settings of the program's end as the program has set them.
    termios ProgramEndSettings() const;

    // Every byte written and read at the instrument's end so far.
    const std::string& SentByInstrument() const { return sent_; }
    const std::string& ReceivedByInstrument() const { return received_; }

  private:
    std::string sent_;
    std::string received_;
    int instrument_ = -1;
    // Held open so that the program's end keeps its settings between opens.
    int program_ = -1;
    std::string devicePath_;
};

} // namespace stadix::test
