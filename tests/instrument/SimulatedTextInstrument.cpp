#include "SimulatedTextInstrument.h"

#include <chrono>
#include <cstdio>
#include <utility>

namespace stadix::test {

namespace {

using Clock = std::chrono::steady_clock;

// How long the instrument waits for the computer's answer to what it sent.
constexpr int kAnswerTimeoutMs = 3000;

std::string CheckDigits(unsigned value) {
    char digits[8];
    std::snprintf(digits, sizeof digits, "%03u", value % 1000);
    return digits;
}

unsigned XorOf(const std::string& text) {
    unsigned sum = 0;
    for (const char c : text)
        sum ^= static_cast<unsigned char>(c);
    return sum;
}

} // namespace

std::string SimulatedTextInstrument::GtsBlock(const std::string& piece, int index) {
    const std::string checked = piece + static_cast<char>('0' + index % 10);
    return std::string(1, kStx) + checked + CheckDigits(XorOf(checked)) + kEtx + "\r\n";
}

std::vector<std::string> SimulatedTextInstrument::GtsPieces(const std::string& text) {
    std::vector<std::string> pieces;
    for (std::size_t start = 0; start < text.size(); start += kPieceLength) {
        std::string piece = text.substr(start, kPieceLength);
        piece.resize(kPieceLength, ' ');
        pieces.push_back(piece);
    }
    return pieces;
}

std::string SimulatedTextInstrument::GtsEndText() {
    return std::string{kStx, kEot, kEtx, '\r', '\n'};
}

std::string SimulatedTextInstrument::SssEndText() {
    return std::string{kEot, '\r', '\n'};
}

std::string SimulatedTextInstrument::SendGtsBlock(const std::string& piece, int index,
                                                  TextFault fault) {
    return SendText(GtsBlock(piece, index), fault);
}

std::string SimulatedTextInstrument::SendSssLine(const std::string& line, TextFault fault) {
    return SendText(line + "\r\n", fault);
}

std::string SimulatedTextInstrument::SendText(const std::string& text, TextFault fault) {
    if (fault == TextFault::HangUp) {
        pty_.Write(text.substr(0, text.size() / 2));
        HangUp();
        return std::string();
    }
    pty_.Write(text);
    return TakeThrough(std::string{kAck, kNak, kXon}, true, kAnswerTimeoutMs);
}

std::string SimulatedTextInstrument::SendEndOfTransmission() {
    return SendText(SssEndText());
}

std::string SimulatedTextInstrument::ReceiveUnit(int timeoutMs) {
    return TakeThrough("\r\n", false, timeoutMs);
}

void SimulatedTextInstrument::Answer(TextAnswer answer) {
    pty_.Write(std::string(1, answer == TextAnswer::Ack   ? kAck
                              : answer == TextAnswer::Xon ? kXon
                                                          : kXoff));
}

std::vector<std::string> SimulatedTextInstrument::ReceiveTransfer(bool gts, bool acknowledged) {
    const std::string endText = gts ? GtsEndText() : SssEndText();
    std::vector<std::string> units;
    for (;;) {
        const std::string unit = ReceiveUnit();
        if (unit.empty())
            return units;
        units.push_back(unit);
        if (unit == endText || unit.size() < 2 || unit.compare(unit.size() - 2, 2, "\r\n") != 0)
            return units;
        Answer(gts && acknowledged ? TextAnswer::Ack : TextAnswer::Xon);
    }
}

std::string SimulatedTextInstrument::Listen(int waitMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    for (int left = waitMs; left > 0; left = MillisecondsLeft(deadline))
        Fill(left);
    return std::exchange(buffer_, std::string());
}

std::string SimulatedTextInstrument::TakeThrough(const std::string& end, bool anyOf,
                                                 int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t at = anyOf ? buffer_.find_first_of(end) : buffer_.find(end);
        if (at != std::string::npos) {
            const std::string taken = buffer_.substr(0, at + (anyOf ? 1 : end.size()));
            buffer_.erase(0, taken.size());
            return taken;
        }
        const int left = MillisecondsLeft(deadline);
        if (left == 0)
            return std::exchange(buffer_, std::string());
        Fill(left);
    }
}

void SimulatedTextInstrument::Fill(int timeoutMs) {
    const std::string first = pty_.Read(1, timeoutMs);
    if (first.empty())
        return;
    buffer_ += first;
    buffer_ += pty_.Read(1 << 20, 0);
}

} // namespace stadix::test
