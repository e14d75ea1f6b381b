#include "SimulatedInstrument.h"

#include <chrono>
#include <map>
#include <thread>

namespace stadix::test {

namespace {

using Clock = std::chrono::steady_clock;

// Nothing at all from the computer for this long means it has not answered. Generous: a
// loaded test machine may take a while, and no test waits for it to run out.
constexpr int kAnswerTimeoutMs = 5000;

std::string Byte(std::uint8_t value) {
    return std::string(1, static_cast<char>(value));
}

} // namespace

std::size_t SimulatedInstrument::RequestLength(std::uint8_t request) {
    const std::map<std::uint8_t, std::size_t> lengths = {
        {0xBB, 32}, {0xB7, 49}, {0xB8, 42}, {0xB9, 52}};
    const auto found = lengths.find(request);
    return found == lengths.end() ? 0 : found->second;
}

std::uint8_t SimulatedInstrument::Checksum(const std::string& bytes) {
    std::uint8_t sum = 0;
    for (const char byte : bytes)
        sum = static_cast<std::uint8_t>(sum + static_cast<std::uint8_t>(byte));
    return sum;
}

std::string SimulatedInstrument::Offer(std::uint8_t type, const std::string& block,
                                       OfferFault fault) {
    const std::uint8_t sum = Checksum(block);
    Send(Byte(type));
    std::string answers = Receive(1, kAnswerTimeoutMs);
    if (answers != Byte(kGoAhead))
        return answers;
    TurnAround();
    if (fault == OfferFault::HangUp) {
        Send(block.substr(0, block.size() / 2));
        HangUp();
        return answers;
    }
    Send(block + Byte(fault == OfferFault::WrongChecksum ? sum + 1 : sum));
    return answers + Receive(1, kAnswerTimeoutMs);
}

void SimulatedInstrument::SendEnd() {
    Send(Byte(kEnd));
}

std::string SimulatedInstrument::SendNoise(const std::string& bytes, int waitMs) {
    Send(bytes);
    return Listen(waitMs);
}

bool SimulatedInstrument::AwaitPoll(int timeoutMs) {
    if (pollPending_) {
        pollPending_ = false;
        return true;
    }
    // Polls that queued up while nobody listened are stale: answer a fresh one, so
    // that the request is not swept away by the next poll.
    pty_.Read(4096, 0);
    const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs);
    while (Clock::now() < deadline) {
        if (pty_.Read(1, MillisecondsLeft(deadline) + 1) == Byte(kPoll))
            return true;
    }
    return false;
}

Exchange SimulatedInstrument::Request(std::uint8_t request) {
    Exchange exchange;
    if (!AwaitPoll())
        return exchange;
    Send(Byte(request));
    const std::size_t length = RequestLength(request);
    exchange.block = Receive(length, kAnswerTimeoutMs);
    if (exchange.block.size() < length)
        return exchange;
    TurnAround();
    Send(Byte(Checksum(exchange.block)));
    // The reply, then a poll or the end byte (after a reject, 100 ms later).
    exchange.replies = Receive(2, kAnswerTimeoutMs);
    NotePoll(exchange.replies);
    return exchange;
}

std::string SimulatedInstrument::Listen(int waitMs) {
    const auto deadline = Clock::now() + std::chrono::milliseconds(waitMs);
    std::string received;
    while (Clock::now() < deadline)
        received += pty_.Read(4096, MillisecondsLeft(deadline));
    return received;
}

void SimulatedInstrument::Send(const std::string& bytes) {
    if (baud_ <= 0) {
        pty_.Write(bytes);
        return;
    }
    // A byte has arrived once its ten bits have crossed the line.
    auto due = Clock::now();
    for (const char byte : bytes) {
        due += ByteTime();
        std::this_thread::sleep_until(due);
        pty_.Write(std::string(1, byte));
    }
}

// At a paced rate a received byte is there only once it has crossed the line.
std::string SimulatedInstrument::Receive(std::size_t count, int timeoutMs) {
    const std::string received = pty_.Read(count, timeoutMs);
    if (baud_ > 0)
        std::this_thread::sleep_for(ByteTime() * received.size());
    return received;
}

std::chrono::microseconds SimulatedInstrument::ByteTime() const {
    return std::chrono::microseconds(10'000'000 / baud_);
}

void SimulatedInstrument::TurnAround() const {
    if (baud_ <= 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
}

void SimulatedInstrument::NotePoll(const std::string& received) {
    pollPending_ = !received.empty() && static_cast<std::uint8_t>(received.back()) == kPoll;
}

} // namespace stadix::test
