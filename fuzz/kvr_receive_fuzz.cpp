// Drives the KVR transfer engine with arbitrary byte batches from the instrument, with
// timers, Cancel and line errors in between. The input's first byte chooses the
// settings; each following byte either fires an event or gives the length of the next
// batch of line bytes, which follow it. Two events help the fuzzer past the checksums:
// a block whose checksum the harness appends, and the echo of the block just sent.
#include "transfer/KvrEngine.h"

#include "job/RecordLine.h"
#include "tests/support/InMemoryPort.h"

#include <cstdlib>

namespace {

using stadix::KvrTimer;

using FuzzPort = InMemoryPort;

class FuzzHost : public stadix::KvrHost {
  public:
    void AppendRecordLine(const std::string& line) override { lines.push_back(line); }
    void ClearRawRecords() override { rawRecords.clear(); }
    void AppendRawRecord(const std::string& record) override {
        if (record.size() != 42)
            std::abort();
        rawRecords += record;
    }
    void SetStatusText(const std::string&) override {}
    void SetCounterText(const std::string& text) override { counter = text; }
    void ShowWarning(const std::string&) override {}
    void CloseDialog() override { ++closeCount; }
    void StartTimer(KvrTimer timer, int) override { running[static_cast<int>(timer)] = true; }
    void StopTimer(KvrTimer timer) override { running[static_cast<int>(timer)] = false; }

    std::vector<std::string> lines;
    std::string rawRecords;
    std::string counter = "0";
    int closeCount = 0;
    bool running[stadix::kKvrTimerCount] = {};
};

stadix::KvrSendData SendData() {
    stadix::KvrSendData data;
    data.recordLines = {stadix::MakeRecordLine("P1", "C1", "100", "200", "30"),
                        stadix::MakeRecordLine("BIG", "", "99999999.999", "-9999999.5", "0")};
    for (int i = 0; i < 4; ++i)
        data.rawRecords += std::string(1, static_cast<char>(0x81 + i)) + std::string(41, 'x');
    return data;
}

// What must hold after every event: a close request can always be granted at once or
// as soon as the block being waited for has been answered, and the counter shows the
// accepted blocks.
void CheckInvariants(const stadix::KvrEngine& engine, const FuzzHost& host) {
    if (!engine.CloseAllowed() && !host.running[static_cast<int>(KvrTimer::BlockWait)])
        std::abort();
    if (host.counter != std::to_string(engine.TransferredCount()))
        std::abort();
    if (host.closeCount > 1)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    stadix::KvrSettings settings;
    settings.sendMode = (data[0] & 0x10) != 0;
    settings.coordView = (data[0] & 0x01) != 0;
    settings.rawLoaded = (data[0] & 0x02) != 0;
    settings.coordUnit = static_cast<stadix::CoordUnit>((data[0] >> 2) % 3);

    FuzzPort port;
    FuzzHost host;
    stadix::KvrEngine engine(port, host, settings,
                             settings.sendMode ? SendData() : stadix::KvrSendData{});
    engine.Open();

    std::size_t pos = 1;
    while (pos < size && !engine.Closed()) {
        const std::uint8_t control = data[pos++];
        if (control < stadix::kKvrTimerCount) {
            engine.OnTimer(static_cast<KvrTimer>(control));
        } else if (control == 0x04) {
            engine.OnCancel();
        } else if (control == 0x05) {
            engine.OnLineError();
        } else if (control == 0x06 && pos < size) {
            const std::size_t wanted = data[pos++] % 57 + 1;
            const std::size_t length = std::min(wanted, size - pos);
            port.input.append(reinterpret_cast<const char*>(data + pos), length);
            port.input += static_cast<char>(stadix::KvrChecksum(data + pos, length));
            pos += length;
            engine.OnBytesArrived(port.BytesWaiting());
        } else if (control == 0x07) {
            port.input += static_cast<char>(engine.BlockBuffer()[engine.BlockLength()]);
            engine.OnBytesArrived(port.BytesWaiting());
        } else {
            const std::size_t length = std::min<std::size_t>(control % 64 + 1, size - pos);
            port.input.append(reinterpret_cast<const char*>(data + pos), length);
            pos += length;
            engine.OnBytesArrived(port.BytesWaiting());
        }
        CheckInvariants(engine, host);
    }

    // Cancel always ends the transfer, at the latest when the block wait runs out.
    engine.OnCancel();
    if (host.running[static_cast<int>(KvrTimer::BlockWait)])
        engine.OnTimer(KvrTimer::BlockWait);
    if (!engine.Closed() || host.closeCount != 1 || host.rawRecords.size() % 42 != 0)
        std::abort();
    return 0;
}
