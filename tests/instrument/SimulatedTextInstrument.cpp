#include "SimulatedTextInstrument.h"

#include <chrono>
#include <cstdio>
#include <thread>
#include <utility>

namespace stadix::test {

namespace {

using Clock = std::chrono::steady_clock;

// How long the instrument waits for the computer's answer to what it sent.
constexpr int kAnswerTimeoutMs = 3000;
// After a text that leaves no answer due, how long it listens for a stray one.
constexpr int kQuietListenMs = 300;
// The pause between XOFF and XON.
constexpr int kPauseMs = 100;

constexpr std::size_t kCheckPosition = 130; // from 0: the three check digits
constexpr std::size_t kEtxPosition = 133;

int MillisecondsLeft(Clock::time_point deadline) {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

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

bool IsGtsLength(const std::string& text) {
    return text.size() == SimulatedTextInstrument::kPieceLength + 8;
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

bool SimulatedTextInstrument::IsGtsBlock(const std::string& unit) {
    return IsGtsLength(unit) && unit[0] == kStx && unit[kEtxPosition] == kEtx &&
           unit.compare(kEtxPosition + 1, 2, "\r\n") == 0 &&
           unit.substr(kCheckPosition, 3) == CheckDigits(XorOf(unit.substr(1, 129)));
}

std::string SimulatedTextInstrument::GtsEndText() {
    return std::string{kStx, kEot, kEtx, '\r', '\n'};
}

std::string SimulatedTextInstrument::SssEndText() {
    return std::string{kEot, '\r', '\n'};
}

bool SimulatedTextInstrument::AwaitEnq(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t enq = buffer_.find(kEnq);
        if (enq != std::string::npos) {
            buffer_.erase(0, enq + 1);
            return true;
        }
        buffer_.clear();
        const int left = MillisecondsLeft(deadline);
        if (left == 0)
            return false;
        Fill(left);
    }
}

std::string SimulatedTextInstrument::SendGtsBlock(const std::string& piece, int index,
                                                  TextFault fault) {
    return SendText(GtsBlock(piece, index), fault);
}

std::string SimulatedTextInstrument::SendSssLine(const std::string& line, TextFault fault) {
    return SendText(line + "\r\n", fault);
}

std::string SimulatedTextInstrument::SendText(const std::string& text, TextFault fault) {
    if (!Send(text, fault))
        return fault == TextFault::HangUp ? std::string() : Listen(kQuietListenMs);
    return AwaitAnswer(kAnswerTimeoutMs);
}

std::string SimulatedTextInstrument::SendEndOfTransmission() {
    return SendText(SssEndText());
}

bool SimulatedTextInstrument::Send(const std::string& text, TextFault fault) {
    std::string spoilt = text;
    switch (fault) {
    case TextFault::None:
        break;
    case TextFault::WrongCheck:
        if (IsGtsLength(text)) {
            const unsigned check = static_cast<unsigned>(std::stoi(text.substr(kCheckPosition, 3)));
            spoilt.replace(kCheckPosition, 3, CheckDigits(check + 1));
        }
        break;
    case TextFault::Malformed:
        if (IsGtsLength(text))
            spoilt.erase(kEtxPosition, 1);
        break;
    case TextFault::ForeignCharacter:
        spoilt.insert(text.size() / 2, 1, '\x01');
        break;
    case TextFault::CutShort:
        pty_.Write(text.substr(0, text.size() / 2));
        return false;
    case TextFault::HangUp:
        pty_.Write(text.substr(0, text.size() / 2));
        HangUp();
        return false;
    }
    pty_.Write(spoilt);
    return true;
}

std::string SimulatedTextInstrument::AwaitAnswer(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t end = buffer_.find_first_of(std::string{kAck, kNak, kXon});
        if (end != std::string::npos) {
            const std::string answer = buffer_.substr(0, end + 1);
            buffer_.erase(0, end + 1);
            return answer;
        }
        const int left = MillisecondsLeft(deadline);
        if (left == 0)
            return std::exchange(buffer_, std::string());
        Fill(left);
    }
}

std::string SimulatedTextInstrument::ReceiveUnit(int timeoutMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    for (;;) {
        const std::size_t end = buffer_.find("\r\n");
        if (end != std::string::npos) {
            const std::string unit = buffer_.substr(0, end + 2);
            buffer_.erase(0, end + 2);
            return unit;
        }
        const int left = MillisecondsLeft(deadline);
        if (left == 0)
            return std::exchange(buffer_, std::string());
        Fill(left);
    }
}

void SimulatedTextInstrument::Answer(TextAnswer answer) {
    switch (answer) {
    case TextAnswer::Ack:
        pty_.Write(std::string(1, kAck));
        break;
    case TextAnswer::Nak:
        pty_.Write(std::string(1, kNak));
        break;
    case TextAnswer::Xon:
        pty_.Write(std::string(1, kXon));
        break;
    case TextAnswer::XoffXon:
        pty_.Write(std::string(1, kXoff));
        std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
        pty_.Write(std::string(1, kXon));
        break;
    case TextAnswer::XoffOnly:
        pty_.Write(std::string(1, kXoff));
        break;
    case TextAnswer::Silence:
        break;
    case TextAnswer::HangUp:
        HangUp();
        break;
    }
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

void SimulatedTextInstrument::Fill(int timeoutMs) {
    const std::string first = pty_.Read(1, timeoutMs);
    if (first.empty())
        return;
    buffer_ += first;
    buffer_ += pty_.Read(1 << 20, 0);
}

} // namespace stadix::test
