#include "transfer/qt/ComPortLine.h"

#include "base/Errors.h"

#include <ctime>

namespace stadix {

template <typename Operation, typename Result>
Result ComPortLine::Guarded(Operation operation, Result nothing) {
    if (!onError_)
        return operation();
    try {
        return operation();
    } catch (const ComPortError& failure) {
        onError_(failure);
        return nothing;
    }
}

int ComPortLine::BytesWaiting() {
    return Guarded([this] { return port_.BytesWaiting(); }, 0);
}

std::string ComPortLine::Read(int count) {
    std::string bytes = Guarded(
        [this, count] {
            std::string read;
            port_.Read(read, count);
            return read;
        },
        std::string());
    if (!bytes.empty() && onInput_)
        onInput_();
    return bytes;
}

void ComPortLine::Write(const std::string& bytes) {
    Guarded([this, &bytes] { return port_.Write(bytes); }, 0);
}

void ComPortLine::ClearBuffer(bool input, bool output) {
    Guarded(
        [this, input, output] {
            port_.ClearBuffer(input, output);
            return true;
        },
        false);
}

int ComPortLine::LineTimeMs(std::size_t characters) {
    return stadix::LineTimeMs(port_.Settings(), characters);
}

bool ComPortLine::WaitForInput(int ms) {
    return Guarded([this, ms] { return port_.WaitForInput(ms); }, false);
}

std::string StartLineLog(ComPort& port, const TransferSettings& settings) {
    const std::time_t now = std::time(nullptr);
    std::tm localTime{};
    localtime_r(&now, &localTime);
    const std::string path = LineLogPath(settings, localTime);
    if (path.empty())
        return {};
    try {
        port.StartLineLog(path);
    } catch (const FileError& failure) {
        return std::string("The line log could not be created.\n") + failure.what() +
               "\nThe transfer goes on without it.";
    }
    return {};
}

} // namespace stadix
