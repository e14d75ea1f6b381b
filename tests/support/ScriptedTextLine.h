// The computer's end of a GTS/SSS line and its worker thread, for the engine tests:
// on a virtual clock, waits move the clock on, and the instrument's bytes arrive at the
// times they are scheduled for. The port settings are 9600 baud, 8N1 unless a test sets them.
#pragma once

#include "tests/support/InMemoryPort.h"
#include "transfer/GtsSssTransfer.h"

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace stadix::test {

class ScriptedLine : public InMemoryPort, public GtsSssHost {
  public:
    struct Write {
        std::int64_t atMs;
        std::string bytes;
    };

    // LinePort
    int BytesWaiting() override {
        Deliver();
        return static_cast<int>(input.size());
    }
    void Write(const std::string& bytes) override {
        writes.push_back({now, bytes});
        InMemoryPort::Write(bytes);
        if (instrument)
            instrument(bytes);
    }
    void ClearBuffer(bool clearInput, bool clearOutput) override {
        Deliver();
        InMemoryPort::ClearBuffer(clearInput, clearOutput);
    }
    bool WaitForInput(int ms) override {
        Deliver();
        if (!input.empty())
            return true;
        const auto next = arrivals.begin();
        if (next != arrivals.end() && next->first <= now + ms) {
            now = next->first;
            Deliver();
            return true;
        }
        now += ms;
        return false;
    }

    // GtsSssHost
    bool StopRequested() override { return now >= stopAtMs || ended; }
    void Pause(int ms) override {
        now += ms;
        Deliver();
    }
    std::int64_t NowMs() override { return now; }
    void StartReceivedText() override {
        lines.clear();
        coordView = false;
    }
    void AppendReceivedText(const std::string& text) override {
        received += text;
        AppendTextLines(lines, text);
    }
    void SetCounterText(const std::string& text) override { counters.push_back(text); }
    void SetCoordView(bool coordinates) override { coordView = coordinates; }
    void EndTransfer() override { ended = true; }

    // The instrument sends bytes at a time from now.
    void Send(const std::string& bytes, std::int64_t afterMs = 0) {
        arrivals.emplace(now + afterMs, bytes);
    }

    // The computer's writes of one byte value, with their times.
    std::vector<std::int64_t> TimesOf(char byte) const {
        std::vector<std::int64_t> times;
        for (const auto& w : writes) {
            if (w.bytes == std::string(1, byte))
                times.push_back(w.atMs);
        }
        return times;
    }

    std::int64_t now = 0;
    std::int64_t stopAtMs = 600000;
    std::multimap<std::int64_t, std::string> arrivals;
    std::vector<struct Write> writes;
    std::function<void(const std::string&)> instrument;

    std::vector<std::string> lines{"old"};
    std::string received;
    std::vector<std::string> counters;
    bool coordView = true;
    bool ended = false;

  private:
    void Deliver() {
        while (!arrivals.empty() && arrivals.begin()->first <= now) {
            input += arrivals.begin()->second;
            arrivals.erase(arrivals.begin());
        }
    }
};

} // namespace stadix::test
