#include "Pty.h"

#include <algorithm>
#include <cerrno>
#include <poll.h>
#include <pty.h>
#include <stdexcept>
#include <unistd.h>

namespace stadix::test {

using Clock = std::chrono::steady_clock;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

namespace {

void MakeRaw(int fd) {
    termios settings{};
    if (::tcgetattr(fd, &settings) == 0) {
        ::cfmakeraw(&settings);
        ::tcsetattr(fd, TCSANOW, &settings);
    }
}

} // namespace

Pty::Pty() {
    char name[256] = {};
    if (::openpty(&instrument_, &program_, name, nullptr, nullptr) != 0)
        throw std::runtime_error("openpty failed");
    devicePath_ = name;
    MakeRaw(instrument_);
    MakeRaw(program_);
}

Pty::~Pty() {
    Close();
    if (program_ >= 0)
        ::close(program_);
}

bool Pty::Write(const std::string& bytes, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(instrument_, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            sent_.append(bytes, done, static_cast<std::size_t>(n));
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno != EAGAIN && errno != EINTR)
            return false;
        const int left = MillisecondsLeft(deadline);
        if (left == 0)
            return false;
        pollfd end{instrument_, POLLOUT, 0};
        ::poll(&end, 1, left);
    }
    return true;
}

std::string Pty::Read(std::size_t count, int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    std::string received;
    while (received.size() < count && instrument_ >= 0) {
        pollfd end{instrument_, POLLIN, 0};
        if (::poll(&end, 1, MillisecondsLeft(deadline)) <= 0)
            break;
        char chunk[4096];
        const std::size_t want = std::min(sizeof chunk, count - received.size());
        const ssize_t n = ::read(instrument_, chunk, want);
        if (n <= 0)
            break;
        received.append(chunk, static_cast<std::size_t>(n));
    }
    received_ += received;
    return received;
}

void Pty::Close() {
    if (instrument_ >= 0)
        ::close(instrument_);
    instrument_ = -1;
}

termios Pty::ProgramEndSettings() const {
    termios settings{};
    ::tcgetattr(program_, &settings);
    return settings;
}

} // namespace stadix::test
