// The KVR engine's host as a test sees it, recording what the engine shows and does,
// and blocks built as the instrument builds them.
#pragma once

#include "tests/support/HexBytes.h"
#include "transfer/KvrEngine.h"

#include <map>
#include <string>
#include <vector>

namespace stadix::test {

class RecordingHost : public KvrHost {
  public:
    void AppendRecordLine(const std::string& line) override { lines.push_back(line); }
    void ClearRawRecords() override { rawRecords.clear(); }
    void AppendRawRecord(const std::string& record) override { rawRecords += record; }
    void SetStatusText(const std::string& text) override { status = text; }
    void SetCounterText(const std::string& text) override { counter = text; }
    void ShowWarning(const std::string&) override {}
    void CloseDialog() override { ++closeCount; }
    void StartTimer(KvrTimer timer, int ms) override { timers[timer] = ms; }
    void StopTimer(KvrTimer timer) override { timers.erase(timer); }

    bool Running(KvrTimer timer) const { return timers.count(timer) != 0; }

    std::vector<std::string> lines;
    std::string rawRecords = "old";
    std::string status;
    std::string counter = "0";
    int closeCount = 0;
    std::map<KvrTimer, int> timers;
};

// Text padded with NUL bytes to the block length, as the instrument sends text blocks.
inline std::string TextBlock(const std::string& text, std::size_t length) {
    std::string block = text;
    block.resize(length, '\0');
    return block;
}

// Coordinate block of P1, no code, N 1234.567, E 0.005, Z -12.345.
inline std::string CoordinateBlock() {
    return Hex("1A01FFFFFFFFFFFF FFFFFFFFFFFFFFFF 0001234567 0000000005 F000012345 00");
}

} // namespace stadix::test
