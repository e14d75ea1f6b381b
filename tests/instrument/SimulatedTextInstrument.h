// A total station on the far end of a pseudo-terminal, speaking the GTS and SSS text
// protocols: it sends framed GTS blocks (acknowledged or one way) and SSS lines as an
// instrument does when it hands its data over, and receives them as an instrument
// does when data is sent to it, answering ACK or XON/XOFF. It spoils an exchange
// on demand. It is written from the protocols' description alone, so that it checks
// the program's side. Every call blocks until its exchange is over; run it on a thread
// of its own while the program runs its event loop.
#pragma once

#include "Pty.h"

#include <string>
#include <vector>

namespace stadix::test {

// How the instrument spoils a GTS block or an SSS line that it sends.
enum class TextFault {
    None,
    HangUp, // the line is closed halfway through the text
};

// How the instrument answers a GTS block or an SSS line that it receives.
enum class TextAnswer {
    Ack,      // accepted (GTS acknowledged)
    Xon,      // go on
    XoffOnly, // pause, and never go on
};

class SimulatedTextInstrument {
  public:
    static constexpr char kStx = 0x02;
    static constexpr char kEtx = 0x03;
    static constexpr char kEot = 0x04;
    static constexpr char kAck = 0x06;
    static constexpr char kNak = 0x15;
    static constexpr char kXon = 0x11;
    static constexpr char kXoff = 0x13;
    static constexpr std::size_t kPieceLength = 128;

    explicit SimulatedTextInstrument(Pty& pty) : pty_(pty) {}

    // The GTS block of a piece of 128 characters: STX, the piece, the last digit of
    // the block index, the XOR of piece and digit as three decimal digits, ETX, CR LF.
    static std::string GtsBlock(const std::string& piece, int index);
    // A record text cut into 128-character pieces, the last one padded with blanks.
    static std::vector<std::string> GtsPieces(const std::string& text);
    // The GTS end text (STX EOT ETX CR LF) and the SSS one (EOT CR LF).
    static std::string GtsEndText();
    static std::string SssEndText();

    // --- The instrument sends (the program receives) ---

    // Sends a GTS block, perhaps spoilt, and returns the computer's answer: every byte
    // up to its ACK, NAK or XON (nothing after a hang-up).
    std::string SendGtsBlock(const std::string& piece, int index,
                             TextFault fault = TextFault::None);
    // Sends an SSS line followed by CR LF, perhaps spoilt, and returns the answer.
    std::string SendSssLine(const std::string& line, TextFault fault = TextFault::None);
    // Sends bytes as they are and returns the answer (nothing after a hang-up).
    std::string SendText(const std::string& text, TextFault fault = TextFault::None);
    // The end of transmission, EOT CR LF; returns the answer (ACK expected).
    std::string SendEndOfTransmission();

    // --- The instrument receives (the program sends) ---

    // The next text up to and including CR LF; what came meanwhile (perhaps nothing)
    // when no CR LF arrived within timeoutMs.
    std::string ReceiveUnit(int timeoutMs = 3000);
    void Answer(TextAnswer answer);
    // Receives a whole send, answering every text with ACK (acknowledged GTS) or XON,
    // until the end text of the format or until nothing more comes; returns the texts
    // received, the end text included.
    std::vector<std::string> ReceiveTransfer(bool gts, bool acknowledged);

    // Everything the computer sends within waitMs.
    std::string Listen(int waitMs);
    // Closes the line.
    void HangUp() { pty_.Close(); }

  private:
    // The buffered bytes up to and including end (or, anyOf, any one of its bytes),
    // waiting up to timeoutMs for it; all that came when it did not come.
    std::string TakeThrough(const std::string& end, bool anyOf, int timeoutMs);
    // Moves what the line holds into the buffer, waiting up to timeoutMs for anything.
    void Fill(int timeoutMs);

    Pty& pty_;
    // Received bytes not yet handed out.
    std::string buffer_;
};

} // namespace stadix::test
