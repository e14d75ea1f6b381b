// The line log of a transfer: the bytes on the serial line in both directions, one
// line per burst, as they pass. A line is the seconds since the port opened with
// three decimals, "<" for bytes from the instrument or ">" for bytes to it, and the
// bytes as upper-case hex: "0.125 < 02 41 42 03". The lines go to a writer thread of
// the log's own, so that a slow disk never holds up the line, and reach the file as
// the transfer goes: a crash keeps what came before.
#pragma once

#include <chrono>
#include <condition_variable>
#include <cstdint>
#include <cstdio>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace stadix {

enum class LineDirection { FromInstrument, ToInstrument };

// One line of the log, LF included.
std::string LineLogLine(std::chrono::milliseconds sincePortOpened, LineDirection direction,
                        std::string_view bytes);

class LineLog {
  public:
    using Clock = std::chrono::steady_clock;

    // Creates the file (replacing one of that name); zero is the moment the port
    // opened. Throws FileError naming the file and the system's reason.
    LineLog(const std::string& path, Clock::time_point zero);
    // Writes what is still waiting and closes the file.
    ~LineLog();
    LineLog(const LineLog&) = delete;
    LineLog& operator=(const LineLog&) = delete;

    // A burst of bytes, stamped now; nothing for no bytes. Callable from any thread.
    void Record(LineDirection direction, std::string_view bytes);

  private:
    void WriteLoop();

    const Clock::time_point zero_;
    std::FILE* file_ = nullptr;
    std::mutex mutex_;
    std::condition_variable wake_;
    // Lines recorded and not yet handed to the file.
    std::string pending_;
    bool closing_ = false;
    std::thread writer_;
};

} // namespace stadix
