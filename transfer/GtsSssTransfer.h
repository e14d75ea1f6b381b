// The GTS and SSS text transfers with the total station: GTS data in framed blocks of
// 136 characters (acknowledged with ACK/NAK, or one way), SSS data as text lines under
// XON/XOFF flow control. The receive and send engines run on a worker thread: they
// block on the port, and reach the window only through the host interface, whose
// implementation makes each call synchronously on the window thread.
#pragma once

#include "job/DataKinds.h"
#include "transfer/LinePort.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace stadix {

// The two text formats.
enum class TextFormat { Gts, Sss };

constexpr char kStx = 0x02;
constexpr char kEtx = 0x03;
constexpr char kEot = 0x04;
constexpr char kEnq = 0x05;
constexpr char kAck = 0x06;
constexpr char kNak = 0x15;
constexpr char kXon = 0x11;
constexpr char kXoff = 0x13;

constexpr std::size_t kGtsBlockLength = 136;
constexpr std::size_t kGtsPieceLength = 128;

// Why a send from the measurement view is refused: its lines are listing text.
extern const char* const kRefusedMeasurementSend;

// What the instrument is sent before the GTS data, and after the data of each format.
extern const std::string kGtsHeaderBlock;
extern const std::string kGtsSecondBlock;
extern const std::string kGtsEndText;
extern const std::string kSssEndText;

// The waits of the protocol on the line. Each is lengthened by the line time of the text
// written before it and of the reply it awaits, so that a slow line does not eat it up;
// of the one-way waits, the first is.
constexpr int kReplyRepeatMs = 4000;
constexpr int kOneWayWaitMs = 50;
constexpr int kOneWayWaitCount = 8;
constexpr int kHeaderPauseMs = 400;
// The longest a port wait lasts before the stop request is looked at again.
constexpr int kStopCheckMs = 50;
// Received text longer than this without a line end is dropped.
constexpr std::size_t kMaxUnitLength = 64 * 1024;

// The window's side of a transfer; every call runs on the window thread.
class GtsSssWindow {
  public:
    virtual ~GtsSssWindow() = default;
    // The first accepted block: empties the record text list and leaves the coordinate
    // view.
    virtual void StartReceivedText() = 0;
    // Appends received text, control characters and line ends included, to the
    // record text list.
    virtual void AppendReceivedText(const std::string& text) = 0;
    // The counter line under the status text.
    virtual void SetCounterText(const std::string& text) = 0;
    // The job's view: the coordinate view for coordinate data, else the measurement view.
    virtual void SetCoordView(bool coordinates) = 0;
    // The transfer is over: the dialog is asked to close (it then stops the thread).
    // Does not wait for the window.
    virtual void EndTransfer() = 0;
};

// The window as the engine sees it from its thread, with the thread's stop request and
// clock.
class GtsSssHost : public GtsSssWindow {
  public:
    virtual bool StopRequested() = 0;
    // Waits ms milliseconds, or less when a stop is requested meanwhile.
    virtual void Pause(int ms) = 0;
    // A steady clock in milliseconds.
    virtual std::int64_t NowMs() = 0;
};

enum class UnitCheck { Incomplete, EndOfTransmission, Accepted, Rejected };

// The verdict on received text up to and including its first CR LF.
UnitCheck CheckReceivedUnit(TextFormat format, std::string_view unit);

// The 136-character block of a 128-character piece: STX, the piece, the last digit of
// the block index, the "%03d" XOR of the piece and that digit, ETX, CR, LF.
std::string FrameGtsBlock(std::string_view piece, int blockIndex);

// Whether the first accepted block carries coordinates: GTS when it holds all of
// "_ x", "_ y" and "_ z"; SSS unless it holds one of the measurement keywords.
bool HoldsCoordinates(TextFormat format, std::string_view text);

std::string ReceiveCounterText(TextFormat format, int count);
std::string SendCounterText(int count, std::size_t total);

// Appends text to a list of lines as the text view takes it: the text starts a new
// line and is split at CR LF, CR or LF; a final line end adds no empty line.
void AppendTextLines(std::vector<std::string>& lines, std::string_view text);

// Received bytes cut into units that end with CR LF. A line longer than kMaxUnitLength
// is dropped whole, whether its CR LF has arrived or is still to come.
class ReceiveAccumulator {
  public:
    void Add(std::string_view bytes);
    // The next complete unit, CR LF included; false when none is complete.
    bool TakeUnit(std::string& unit);
    // True once after text has been dropped for its length.
    bool TakeOverflow();
    void Clear();
    std::size_t Size() const { return text_.size(); }

  private:
    void DropOverlongLines();
    void DropOverlongText();

    std::string text_;
    // Where the search for CR LF goes on; what lies before holds none.
    std::size_t searchFrom_ = 0;
    bool skippingLine_ = false;
    bool overflowed_ = false;
};

// The receiving side of a GTS or SSS transfer: runs until a stop is requested.
class GtsSssReceiver {
  public:
    GtsSssReceiver(LinePort& port, GtsSssHost& host, TextFormat format, bool acknowledged);

    void Run();

    int Count() const { return count_; }

  private:
    bool Acknowledged() const;
    void ReplyWait();
    void ReadInput();
    void HandleUnits();
    void Accept(const std::string& unit);
    void Reject();

    LinePort& port_;
    GtsSssHost& host_;
    const TextFormat format_;
    const bool acknowledged_;
    ReceiveAccumulator accumulator_;
    int count_ = 0;
    char reply_ = kEnq;
    bool handshakePending_ = true;
    bool ended_ = false;
};

// The sending side: sends the record lines, then waits for the stop.
class GtsSssSender {
  public:
    GtsSssSender(LinePort& port, GtsSssHost& host, TextFormat format, bool acknowledged,
                 CoordUnit unit, std::vector<std::string> recordLines);

    void Run();

  private:
    // Each returns false when a stop ended the transfer (the end text is then written).
    bool SendGtsHeader();
    bool SendSecondBlockAcknowledged();
    bool SendRecords();
    bool SendGtsRecord(const std::string& line);
    bool SendGtsPiece();
    bool SendSssRecord(const std::string& line);
    bool SendBlock(const std::string& block);
    bool SendAcknowledged(const std::string& text);
    bool SendOneWay(const std::string& text);
    bool WaitForXon();
    // Everything that arrives within one wait slice.
    std::string ReadReply(int ms);
    void ShowCounter();
    void StopWithEndText(const std::string& endText);
    const std::string& EndText() const;

    LinePort& port_;
    GtsSssHost& host_;
    const TextFormat format_;
    const bool acknowledged_;
    const CoordUnit coordUnit_;
    const std::vector<std::string> recordLines_;
    int count_ = 0;
    int blockIndex_ = 0;
    std::string piece_;
};

} // namespace stadix
