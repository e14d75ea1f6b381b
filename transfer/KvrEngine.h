// The instrument-format (KVR) transfer: the byte handshake with the total station in
// both directions, as a state machine driven by events (bytes arrived, timer fired,
// cancel pressed, line error). It talks to the serial port and to the transfer dialog
// only through the line-port interface and the host interface below, and never blocks: every wait
// is a timer.
#pragma once

#include "job/DataKinds.h"
#include "transfer/LinePort.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace stadix {

// The engine's timers. Each fires once per start; the engine restarts the poll timer
// itself.
enum class KvrTimer { Poll, BlockWait, ReplyPause, CloseDelay };
constexpr int kKvrTimerCount = 4;

// What a transfer shows to the user: the dialog's status line and counter, its
// message box and its closing. Record texts are bytes in the instrument's code page.
class KvrView {
  public:
    virtual ~KvrView() = default;
    // The status line.
    virtual void SetStatusText(const std::string& text) = 0;
    // The counter of accepted blocks.
    virtual void SetCounterText(const std::string& text) = 0;
    // A modal message box with the caption "Warning".
    virtual void ShowWarning(const std::string& text) = 0;
    // The transfer is over (ended, cancelled or failed): close the dialog.
    virtual void CloseDialog() = 0;
};

// What the engine needs besides the port: the view, the job it fills, and its timers.
class KvrHost : public KvrView {
  public:
    // Appends a record line or a display line to the record text list.
    virtual void AppendRecordLine(const std::string& line) = 0;
    // Empties the raw record store.
    virtual void ClearRawRecords() = 0;
    // Appends one 42-byte raw record to the raw record store and its readable listing
    // to the record text list.
    virtual void AppendRawRecord(const std::string& record) = 0;
    // Starts (or restarts) the timer so that it fires once after ms milliseconds.
    virtual void StartTimer(KvrTimer timer, int ms) = 0;
    virtual void StopTimer(KvrTimer timer) = 0;
};

// The main-window state that a transfer starts from.
struct KvrSettings {
    bool sendMode = false;
    bool coordView = true;
    bool rawLoaded = false;
    CoordUnit coordUnit = CoordUnit::Metre;
};

// What a send transfer offers: the record lines (coordinate view) or the raw record
// store (measurement view), 42 bytes per record.
struct KvrSendData {
    std::vector<std::string> recordLines;
    std::string rawRecords;
};

// The 8-bit sum of the bytes, carries dropped.
std::uint8_t KvrChecksum(const std::uint8_t* bytes, std::size_t count);

// The formatted display line of a fixed-column text block (types 0xA0 to 0xA3), read
// as terminated text; empty for any other type.
std::string FormatFixedColumnRecord(std::uint8_t type, const std::string& text);

// The seven display lines of a 51-byte station block (type 0xAF).
std::vector<std::string> StationBlockLines(const std::uint8_t* block);

// The transfer engine of the instrument-format dialog; one per transfer.
class KvrEngine {
  public:
    static constexpr std::uint8_t kGoAheadByte = 0xBB;
    static constexpr std::uint8_t kAcceptByte = 0x00;
    static constexpr std::uint8_t kRejectByte = 0xFF;
    static constexpr std::uint8_t kEndByte = 0xEE;
    static constexpr std::uint8_t kPollByte = 0xAA;

    static constexpr int kPollIntervalMs = 100;
    // The least the block wait and the reply pause last: each is lengthened by the line
    // time of the bytes it covers.
    static constexpr int kBlockWaitMs = 500;
    static constexpr int kReplyPauseMs = 100;
    static constexpr int kEndCloseDelayMs = 3000;
    static constexpr int kErrorCloseDelayMs = 2000;

    // The longest block (56 bytes) and its checksum.
    static constexpr std::size_t kBlockBufferSize = 57;

    KvrEngine(LinePort& port, KvrHost& host, const KvrSettings& settings,
              KvrSendData sendData = {});

    // Starts the transfer on the freshly opened port.
    void Open();
    // The port could not be opened: warns with the message and closes the dialog.
    void ReportOpenFailure(const std::string& message);

    void OnBytesArrived(int count);
    void OnTimer(KvrTimer timer);
    // The Cancel button, or any other request to close the dialog. Honoured at once,
    // or as soon as the block being received has been answered.
    void OnCancel();
    void OnLineError();

    // True once the end byte has been received or sent.
    bool Ended() const { return ended_; }
    bool Closed() const { return closed_; }

    // Whether a close request may be granted now: not while a block is in flight.
    bool CloseAllowed() const { return closeAllowed_; }
    // Whether the last record type received carries coordinates: whether the job is in
    // the coordinate view when the dialog closes.
    bool CoordRecords() const { return coordRecords_; }
    // The main window's RawLoaded as the transfer leaves it.
    bool RawLoaded() const { return rawLoaded_; }
    int TransferredCount() const { return transferredCount_; }
    const std::array<std::uint8_t, kBlockBufferSize>& BlockBuffer() const { return blockBuffer_; }
    std::size_t BlockLength() const { return blockLength_; }

  private:
    // What the engine waits for on the line: what the next bytes that arrive are taken
    // as. Busy while a step is in progress (the bytes stay queued until it has
    // finished) and while the transfer is not running.
    enum class Awaiting {
        Busy,
        // Receiving: the type byte that announces a block, or the end byte.
        RecordType,
        // Receiving: the announced block and its checksum.
        Block,
        // Sending: the instrument's request for a block.
        Request,
        // Sending: the checksum of the block just sent, echoed.
        Echo
    };

    void RecordTypeStep();
    void BeginBlockStep(std::uint8_t type, std::size_t length);
    void CheckBlockArrival();
    void ReceiveBlock();
    void HandleBlock();
    void FinishBlockStep(std::uint8_t reply);

    void RequestStep();
    bool RequestAllowed(std::uint8_t request) const;
    bool FillSendBlock(std::uint8_t request);
    void SendBlockStep();
    void EchoStep();
    void RejectAndPause();
    void OfferNextRecord();
    std::size_t RecordsToSend() const;

    void CountTransferred();
    void EndTransfer();
    void ResumeQueuedInput();
    // False when the port had no byte after all.
    bool ReadByte(std::uint8_t& byte);
    void WriteByte(std::uint8_t byte);
    void StartTimer(KvrTimer timer, int ms);
    void StopTimer(KvrTimer timer);
    void Close();

    LinePort& port_;
    KvrHost& host_;
    const KvrSettings settings_;
    const KvrSendData sendData_;

    Awaiting awaiting_ = Awaiting::Busy;
    // Nothing is in flight before the transfer opens.
    bool closeAllowed_ = true;
    bool coordRecords_;
    bool rawLoaded_;
    // The bytes waiting when the latest bytes-arrived event came; a step takes its one
    // byte only when it came alone.
    int bytesAtEvent_ = 0;
    int transferredCount_ = 0;
    int sendIndex_ = 0;
    std::array<std::uint8_t, kBlockBufferSize> blockBuffer_{};
    std::size_t blockLength_ = 0;
    std::uint8_t blockType_ = 0;

    std::array<bool, kKvrTimerCount> timerRunning_{};
    bool cancelRequested_ = false;
    bool ended_ = false;
    bool closed_ = false;
};

} // namespace stadix
