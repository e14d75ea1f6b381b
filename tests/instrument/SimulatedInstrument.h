// A total station on the far end of a pseudo-terminal, speaking the instrument-format
// (KVR) handshake: it offers records in the receive direction and asks for records in
// the send direction, and spoils an exchange on demand. It is written from the
// protocol's description alone, so that it checks the program's side. Every call
// blocks until its exchange is over; run it on a thread of its own while the program
// runs its event loop.
#pragma once

#include "Pty.h"

#include <chrono>
#include <cstdint>
#include <string>

namespace stadix::test {

// Control bytes of the handshake.
constexpr std::uint8_t kGoAhead = 0xBB;
constexpr std::uint8_t kAccept = 0x00;
constexpr std::uint8_t kReject = 0xFF;
constexpr std::uint8_t kEnd = 0xEE;
constexpr std::uint8_t kPoll = 0xAA;

// How the instrument spoils a record that it offers.
enum class OfferFault {
    None,
    WrongChecksum, // the checksum byte is one too high
    HangUp,        // the line is closed halfway through the block
};

// What came back in one exchange of the send direction.
struct Exchange {
    std::string block;   // the block the computer sent
    std::string replies; // the bytes after the echo: accept or reject, then poll or end
};

class SimulatedInstrument {
  public:
    explicit SimulatedInstrument(Pty& pty) : pty_(pty) {}

    // Paces every byte both ways as a line at this rate would (ten bits a byte); 0
    // sends and receives at once.
    void SetBaudRate(int baud) { baud_ = baud; }

    // The block length that a request byte asks for; 0 for any other byte.
    static std::size_t RequestLength(std::uint8_t request);
    // The 8-bit sum of the bytes.
    static std::uint8_t Checksum(const std::string& bytes);

    // Receive direction. Offers one record: the type byte, then, after the go-ahead,
    // the block and its checksum. Returns every byte the computer sent in the exchange
    // (go-ahead and reply; nothing when it ignored the offer).
    std::string Offer(std::uint8_t type, const std::string& block,
                      OfferFault fault = OfferFault::None);
    // The end byte of a transfer.
    void SendEnd();
    // Bytes out of the protocol; returns what the computer sent within waitMs.
    std::string SendNoise(const std::string& bytes, int waitMs = 300);

    // Send direction. Waits for the computer's poll byte; false when none came.
    bool AwaitPoll(int timeoutMs = 2000);
    // Waits for a poll, asks for a record and answers the block with its checksum; the
    // exchange holds the block and the replies that followed.
    Exchange Request(std::uint8_t request);

    // Everything the computer sends within waitMs.
    std::string Listen(int waitMs);

    // Closes the line.
    void HangUp() { pty_.Close(); }

  private:
    void Send(const std::string& bytes);
    // Up to count bytes, waiting at most timeoutMs for all of them.
    std::string Receive(std::size_t count, int timeoutMs);
    // How long a byte takes on the paced line.
    std::chrono::microseconds ByteTime() const;
    // Leaves a moment before answering, as a line between two devices does.
    void TurnAround() const;

    // Notes whether the last byte received was a poll, which the next request answers.
    void NotePoll(const std::string& received);

    Pty& pty_;
    int baud_ = 0;
    bool pollPending_ = false;
};

} // namespace stadix::test
