// Drives the GTS/SSS receive engine and its accumulator with arbitrary byte batches from
// the instrument. The input's first byte chooses the format and the protocol; then each
// byte is a command: below 0xF0 the length of the next batch of line bytes, which
// follow it; 0xF0 a correctly framed GTS block of the next (up to 128) bytes; 0xF1 a
// long run of one byte (the next byte, repeated the following byte times 1024); 0xF2
// and above one wait of the engine in which nothing arrives.
#include "transfer/GtsSssTransfer.h"

#include "tests/support/InMemoryPort.h"

#include <algorithm>
#include <cstdlib>
#include <deque>

namespace {

using stadix::TextFormat;

void Require(bool condition) {
    if (!condition)
        std::abort();
}

// The instrument's batches, one per wait; the transfer stops once all are read or the
// transmission has ended.
class FuzzLine : public InMemoryPort, public stadix::GtsSssHost {
  public:
    bool WaitForInput(int ms) override {
        now += ms;
        if (input.empty() && !batches.empty()) {
            input = batches.front();
            batches.pop_front();
        }
        return !input.empty();
    }

    bool StopRequested() override { return ended || (batches.empty() && input.empty()); }
    void Pause(int ms) override { now += ms; }
    std::int64_t NowMs() override { return now; }
    void StartReceivedText() override { Require(appended.empty()); }
    void AppendReceivedText(const std::string& text) override { appended.push_back(text); }
    void SetCounterText(const std::string&) override {}
    void SetCoordView(bool) override { ++kindDecisions; }
    void EndTransfer() override { ended = true; }

    std::deque<std::string> batches;
    std::vector<std::string> appended;
    int kindDecisions = 0;
    bool ended = false;
    std::int64_t now = 0;
};

std::deque<std::string> Batches(const std::uint8_t* data, std::size_t size) {
    std::deque<std::string> batches;
    std::size_t i = 0;
    auto next = [&]() -> std::uint8_t { return i < size ? data[i++] : 0; };
    while (i < size) {
        const std::uint8_t command = next();
        if (command <= 0xF0) {
            const std::size_t length = std::min<std::size_t>(
                command == 0xF0 ? stadix::kGtsPieceLength : command, size - i);
            std::string bytes(reinterpret_cast<const char*>(data + i), length);
            i += length;
            if (command == 0xF0) {
                bytes.resize(stadix::kGtsPieceLength, ' ');
                bytes = stadix::FrameGtsBlock(bytes, static_cast<int>(batches.size()));
            }
            batches.push_back(bytes);
        } else if (command == 0xF1) {
            const char byte = static_cast<char>(next());
            batches.push_back(std::string(std::size_t(next()) * 1024, byte));
        } else {
            batches.emplace_back();
        }
    }
    return batches;
}

void CheckAccumulator(const std::deque<std::string>& batches) {
    stadix::ReceiveAccumulator accumulator;
    std::string unit;
    for (const std::string& batch : batches) {
        accumulator.Add(batch);
        Require(accumulator.Size() <= stadix::kMaxUnitLength + batch.size());
        while (accumulator.TakeUnit(unit))
            Require(unit.find("\r\n") == unit.size() - 2);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0)
        return 0;
    const TextFormat format = (data[0] & 1) != 0 ? TextFormat::Gts : TextFormat::Sss;
    const bool acknowledged = (data[0] & 2) != 0;
    FuzzLine line;
    line.batches = Batches(data + 1, size - 1);
    CheckAccumulator(line.batches);

    stadix::GtsSssReceiver receiver(line, line, format, acknowledged);
    receiver.Run();

    Require(static_cast<int>(line.appended.size()) == receiver.Count());
    Require(line.kindDecisions == (receiver.Count() > 0 ? 1 : 0));
    for (const std::string& text : line.appended) {
        Require(stadix::CheckReceivedUnit(format, text) == stadix::UnitCheck::Accepted);
        Require(text.find("\r\n") == text.size() - 2);
    }
    const std::string answers = format == TextFormat::Gts && acknowledged
                                    ? std::string{stadix::kEnq, stadix::kAck, stadix::kNak}
                                    : std::string{stadix::kXon, stadix::kXoff, stadix::kAck};
    Require(line.written.find_first_not_of(answers) == std::string::npos);
    return 0;
}
