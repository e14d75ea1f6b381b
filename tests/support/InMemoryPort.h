// The computer's end of a serial line held in memory, for engine tests and fuzz
// targets: what the instrument has sent and not yet been read, and everything written.
#pragma once

#include "comport/PortSettings.h"
#include "transfer/LinePort.h"

#include <string>

class InMemoryPort : public stadix::LinePort {
  public:
    int BytesWaiting() override { return static_cast<int>(input.size()); }
    std::string Read(int count) override {
        const std::string bytes = input.substr(0, static_cast<std::size_t>(count));
        input.erase(0, bytes.size());
        return bytes;
    }
    void Write(const std::string& bytes) override { written += bytes; }
    // Output already written has left the computer; only input can be discarded.
    void ClearBuffer(bool clearInput, bool /*clearOutput*/) override {
        if (clearInput)
            input.clear();
    }
    bool WaitForInput(int /*ms*/) override { return !input.empty(); }
    int LineTimeMs(std::size_t characters) override {
        return stadix::LineTimeMs(settings, characters);
    }

    // 9600 baud, 8N1 unless a test sets it.
    stadix::PortSettings settings;
    std::string input;
    std::string written;
};
