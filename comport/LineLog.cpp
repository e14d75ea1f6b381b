#include "comport/LineLog.h"

#include "base/Errors.h"

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace stadix {

std::string LineLogLine(std::chrono::milliseconds sincePortOpened, LineDirection direction,
                        std::string_view bytes) {
    static constexpr char kHex[] = "0123456789ABCDEF";
    const std::int64_t ms = std::max<std::int64_t>(sincePortOpened.count(), 0);
    std::string line = std::to_string(ms / 1000);
    const int fraction = static_cast<int>(ms % 1000);
    line += '.';
    line += static_cast<char>('0' + fraction / 100);
    line += static_cast<char>('0' + fraction / 10 % 10);
    line += static_cast<char>('0' + fraction % 10);
    line += direction == LineDirection::FromInstrument ? " <" : " >";
    line.reserve(line.size() + bytes.size() * 3 + 1);
    for (const char byte : bytes) {
        const auto value = static_cast<unsigned char>(byte);
        line += ' ';
        line += kHex[value >> 4];
        line += kHex[value & 0x0F];
    }
    line += '\n';
    return line;
}

LineLog::LineLog(const std::string& path, Clock::time_point zero) : zero_(zero) {
    file_ = std::fopen(path.c_str(), "wb");
    if (file_ == nullptr)
        throw FileError("Cannot create file \"" + path + "\". " + std::strerror(errno));
    writer_ = std::thread([this] { WriteLoop(); });
}

LineLog::~LineLog() {
    {
        std::lock_guard<std::mutex> lock(mutex_);
        closing_ = true;
    }
    wake_.notify_one();
    writer_.join();
    std::fclose(file_);
}

void LineLog::Record(LineDirection direction, std::string_view bytes) {
    if (bytes.empty())
        return;
    const auto since = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - zero_);
    const std::string line = LineLogLine(since, direction, bytes);
    {
        std::lock_guard<std::mutex> lock(mutex_);
        pending_ += line;
    }
    wake_.notify_one();
}

// Each batch is flushed to the system at once. A file that can no longer be written
// (a full disk) keeps what it holds; the transfer goes on.
void LineLog::WriteLoop() {
    std::unique_lock<std::mutex> lock(mutex_);
    bool writable = true;
    for (;;) {
        wake_.wait(lock, [this] { return closing_ || !pending_.empty(); });
        if (pending_.empty())
            return;
        std::string batch;
        batch.swap(pending_);
        lock.unlock();
        if (writable)
            writable = std::fwrite(batch.data(), 1, batch.size(), file_) == batch.size() &&
                       std::fflush(file_) == 0;
        lock.lock();
    }
}

} // namespace stadix
