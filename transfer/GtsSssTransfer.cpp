#include "transfer/GtsSssTransfer.h"

#include "base/Errors.h"
#include "job/RecordLine.h"
#include "transfer/Codecs.h"

#include <algorithm>
#include <array>
#include <cstdio>
#include <utility>

namespace stadix {

namespace {

constexpr std::string_view kLineEnd = "\r\n";

// The words that open the lines of SSS measurement data, each padded to 8 characters.
constexpr std::array<std::string_view, 10> kSssKeywords = {
    "JOB     ", "INST    ", "UNITS   ", "STN     ", "XYZ     ",
    "BS      ", "SS      ", "SD      ", "HD      ", "HV      "};

// Letters, digits, punctuation, blank, CR and LF.
bool IsSssCharacter(char c) {
    const auto byte = static_cast<unsigned char>(c);
    return (byte >= 0x20 && byte <= 0x7E) || c == '\r' || c == '\n';
}

bool Contains(std::string_view text, std::string_view part) {
    return text.find(part) != std::string_view::npos;
}

bool Contains(std::string_view text, char c) {
    return text.find(c) != std::string_view::npos;
}

// The three-digit check of a block: the XOR of its piece and block number digit.
std::string GtsCheckText(std::string_view checkedPart) {
    unsigned sum = 0;
    for (char c : checkedPart)
        sum ^= static_cast<unsigned char>(c);
    char text[8];
    std::snprintf(text, sizeof text, "%03u", sum);
    return text;
}

bool IsGtsBlock(std::string_view unit) {
    return unit.size() == kGtsBlockLength && unit[0] == kStx && unit[133] == kEtx &&
           unit.substr(130, 3) == GtsCheckText(unit.substr(1, 129));
}

bool IsSssText(std::string_view unit) {
    for (char c : unit) {
        if (!IsSssCharacter(c))
            return false;
    }
    return true;
}

// EOT CR LF; a GTS instrument may also end with the framed end text that we send.
bool IsEndOfTransmission(TextFormat format, std::string_view unit) {
    return unit == std::string_view("\x04\r\n", 3) ||
           (format == TextFormat::Gts && unit == kGtsEndText);
}

// The transfer is over; the thread ends when the dialog asks it to.
void WaitForStop(GtsSssHost& host) {
    while (!host.StopRequested())
        host.Pause(kStopCheckMs);
}

} // namespace

const char* const kRefusedMeasurementSend =
    "Measurement data cannot be sent in the GTS or SSS format.";

const std::string kGtsHeaderBlock = std::string(1, kStx) + "F00F000" + kEtx + "\r\n";
const std::string kGtsSecondBlock =
    std::string(1, kStx) + "12345678  +00001.000000100000-000017S069" + kEtx + "\r\n";
const std::string kGtsEndText = std::string{kStx, kEot, kEtx, '\r', '\n'};
const std::string kSssEndText = std::string{kEot, '\r', '\n'};

UnitCheck CheckReceivedUnit(TextFormat format, std::string_view unit) {
    const std::size_t lineEnd = unit.find(kLineEnd);
    if (lineEnd == std::string_view::npos)
        return UnitCheck::Incomplete;
    unit = unit.substr(0, lineEnd + kLineEnd.size());
    if (IsEndOfTransmission(format, unit))
        return UnitCheck::EndOfTransmission;
    const bool accepted = format == TextFormat::Gts ? IsGtsBlock(unit) : IsSssText(unit);
    return accepted ? UnitCheck::Accepted : UnitCheck::Rejected;
}

std::string FrameGtsBlock(std::string_view piece, int blockIndex) {
    std::string block(1, kStx);
    block.append(piece);
    block += static_cast<char>('0' + blockIndex % 10);
    block += GtsCheckText(std::string_view(block).substr(1));
    block += kEtx;
    block.append(kLineEnd);
    return block;
}

bool HoldsCoordinates(TextFormat format, std::string_view text) {
    if (format == TextFormat::Gts)
        return Contains(text, "_ x") && Contains(text, "_ y") && Contains(text, "_ z");
    for (std::string_view keyword : kSssKeywords) {
        if (Contains(text, keyword))
            return false;
    }
    return true;
}

std::string ReceiveCounterText(TextFormat format, int count) {
    const char* caption =
        format == TextFormat::Gts ? "Record blocks received:   " : "Records received:   ";
    return caption + std::to_string(count);
}

std::string SendCounterText(int count, std::size_t total) {
    return "Records transferred:   " + std::to_string(count) + "/" + std::to_string(total);
}

void AppendTextLines(std::vector<std::string>& lines, std::string_view text) {
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find_first_of("\r\n", start);
        if (end == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            return;
        }
        lines.emplace_back(text.substr(start, end - start));
        const bool crLf = text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n';
        start = end + (crLf ? 2 : 1);
    }
}

// ---------------------------------------------------------------------------------------

void ReceiveAccumulator::Add(std::string_view bytes) {
    text_.append(bytes);
    if (skippingLine_)
        DropOverlongText();
    DropOverlongLines();
}

// Drops each leading line longer than kMaxUnitLength, ended or not yet ended, so that
// no unit is ever longer and the text held never grows past it by more than a batch.
void ReceiveAccumulator::DropOverlongLines() {
    while (!skippingLine_) {
        const std::size_t lineEnd = text_.find(kLineEnd, searchFrom_);
        const std::size_t length = lineEnd == std::string::npos ? text_.size() : lineEnd;
        if (length <= kMaxUnitLength)
            return;
        overflowed_ = true;
        skippingLine_ = true;
        DropOverlongText();
    }
}

// Drops text up to and including the next CR LF; a CR at the end may be the start of it.
void ReceiveAccumulator::DropOverlongText() {
    searchFrom_ = 0;
    const std::size_t lineEnd = text_.find(kLineEnd);
    if (lineEnd != std::string::npos) {
        text_.erase(0, lineEnd + kLineEnd.size());
        skippingLine_ = false;
        return;
    }
    const bool endsWithCr = !text_.empty() && text_.back() == '\r';
    text_.assign(endsWithCr ? "\r" : "");
}

bool ReceiveAccumulator::TakeUnit(std::string& unit) {
    DropOverlongLines();
    const std::size_t lineEnd =
        skippingLine_ ? std::string::npos : text_.find(kLineEnd, searchFrom_);
    if (lineEnd == std::string::npos) {
        // Only the last character may begin a CR LF still to come.
        searchFrom_ = text_.empty() ? 0 : text_.size() - 1;
        return false;
    }
    unit = text_.substr(0, lineEnd + kLineEnd.size());
    text_.erase(0, unit.size());
    searchFrom_ = 0;
    return true;
}

bool ReceiveAccumulator::TakeOverflow() {
    return std::exchange(overflowed_, false);
}

void ReceiveAccumulator::Clear() {
    text_.clear();
    searchFrom_ = 0;
    skippingLine_ = false;
}

// ---------------------------------------------------------------------------------------

GtsSssReceiver::GtsSssReceiver(LinePort& port, GtsSssHost& host, TextFormat format,
                               bool acknowledged)
    : port_(port), host_(host), format_(format), acknowledged_(acknowledged) {}

bool GtsSssReceiver::Acknowledged() const {
    return format_ == TextFormat::Gts && acknowledged_;
}

void GtsSssReceiver::Run() {
    port_.ClearBuffer(true, true);
    while (!host_.StopRequested()) {
        if (Acknowledged() && handshakePending_) {
            ReplyWait();
            handshakePending_ = false;
            continue;
        }
        if (!port_.WaitForInput(kStopCheckMs))
            continue;
        ReadInput();
        HandleUnits();
        if (ended_) {
            WaitForStop(host_);
            return;
        }
    }
}

// The instrument sends its next block only after our reply, so what is left over from
// the last one is dropped with the port's queues.
void GtsSssReceiver::ReplyWait() {
    const std::string reply(1, reply_);
    // The reply goes out and the first byte of the answer comes in.
    const int repeatMs = kReplyRepeatMs + port_.LineTimeMs(2);
    port_.ClearBuffer(true, true);
    accumulator_.Clear();
    port_.Write(reply);
    std::int64_t lastWrite = host_.NowMs();
    while (!host_.StopRequested()) {
        const std::int64_t left = repeatMs - (host_.NowMs() - lastWrite);
        if (port_.WaitForInput(static_cast<int>(std::clamp<std::int64_t>(left, 1, kStopCheckMs))))
            return;
        if (host_.NowMs() - lastWrite >= repeatMs) {
            port_.ClearBuffer(true, true);
            port_.Write(reply);
            lastWrite = host_.NowMs();
        }
    }
}

void GtsSssReceiver::ReadInput() {
    const int waiting = port_.BytesWaiting();
    if (waiting > 0)
        accumulator_.Add(port_.Read(waiting));
}

// Acknowledged: one unit, answered by the next handshake. Otherwise every complete
// unit, the instrument held by XOFF meanwhile and released by one XON.
void GtsSssReceiver::HandleUnits() {
    bool answered = false;
    if (accumulator_.TakeOverflow()) {
        Reject();
        answered = true;
    }
    bool paused = false;
    std::string unit;
    while (!(Acknowledged() && handshakePending_) && accumulator_.TakeUnit(unit)) {
        const UnitCheck check = CheckReceivedUnit(format_, unit);
        if (check == UnitCheck::EndOfTransmission) {
            if (paused)
                port_.Write(std::string(1, kXon));
            port_.Write(std::string(1, kAck));
            host_.EndTransfer();
            ended_ = true;
            return;
        }
        if (!Acknowledged() && !paused) {
            port_.Write(std::string(1, kXoff));
            paused = true;
        }
        if (check == UnitCheck::Accepted)
            Accept(unit);
        else
            Reject();
        answered = true;
    }
    if (answered && !Acknowledged())
        port_.Write(std::string(1, kXon));
}

void GtsSssReceiver::Accept(const std::string& unit) {
    ++count_;
    if (count_ == 1)
        host_.StartReceivedText();
    host_.AppendReceivedText(unit);
    host_.SetCounterText(ReceiveCounterText(format_, count_));
    if (count_ == 1)
        host_.SetCoordView(HoldsCoordinates(format_, unit));
    if (Acknowledged()) {
        reply_ = kAck;
        handshakePending_ = true;
    }
}

void GtsSssReceiver::Reject() {
    if (Acknowledged()) {
        reply_ = kNak;
        handshakePending_ = true;
    }
}

// ---------------------------------------------------------------------------------------

GtsSssSender::GtsSssSender(LinePort& port, GtsSssHost& host, TextFormat format, bool acknowledged,
                           CoordUnit unit, std::vector<std::string> recordLines)
    : port_(port), host_(host), format_(format), acknowledged_(acknowledged), coordUnit_(unit),
      recordLines_(std::move(recordLines)) {}

void GtsSssSender::Run() {
    port_.ClearBuffer(true, true);
    bool completed = false;
    try {
        completed = (format_ != TextFormat::Gts || SendGtsHeader()) && SendRecords();
    } catch (const ConversionError&) {
        // A line that is no record: the instrument is told that nothing more comes.
        port_.Write(kSssEndText);
        throw;
    }
    if (completed)
        host_.EndTransfer();
    WaitForStop(host_);
}

bool GtsSssSender::SendGtsHeader() {
    if (acknowledged_) {
        if (!SendAcknowledged(kGtsHeaderBlock))
            return false;
    } else {
        port_.Write(kGtsHeaderBlock);
        host_.Pause(kHeaderPauseMs + port_.LineTimeMs(kGtsHeaderBlock.size()));
    }
    port_.Write(kGtsSecondBlock);
    if (acknowledged_)
        return SendSecondBlockAcknowledged();
    host_.Pause(kHeaderPauseMs + port_.LineTimeMs(kGtsSecondBlock.size()));
    return true;
}

// No time limit here: only a NAK makes it write the block again.
bool GtsSssSender::SendSecondBlockAcknowledged() {
    while (!host_.StopRequested()) {
        const std::string reply = ReadReply(kStopCheckMs);
        if (Contains(reply, kAck))
            return true;
        if (Contains(reply, kNak))
            port_.Write(kGtsSecondBlock);
    }
    StopWithEndText(kSssEndText);
    return false;
}

bool GtsSssSender::SendRecords() {
    for (const std::string& line : recordLines_) {
        if (host_.StopRequested()) {
            StopWithEndText(kSssEndText);
            return false;
        }
        ++count_;
        const bool sent = format_ == TextFormat::Gts ? SendGtsRecord(line) : SendSssRecord(line);
        if (!sent)
            return false;
    }
    if (format_ == TextFormat::Gts && !piece_.empty()) {
        piece_.resize(kGtsPieceLength, ' ');
        if (!SendGtsPiece())
            return false;
    }
    port_.Write(EndText());
    return true;
}

bool GtsSssSender::SendGtsRecord(const std::string& line) {
    for (char c : EncodeGtsCoordLine(line, coordUnit_)) {
        piece_ += c;
        if (piece_.size() == kGtsPieceLength && !SendGtsPiece())
            return false;
    }
    return true;
}

bool GtsSssSender::SendGtsPiece() {
    if (!SendBlock(FrameGtsBlock(piece_, blockIndex_)))
        return false;
    ShowCounter();
    piece_.clear();
    ++blockIndex_;
    return true;
}

bool GtsSssSender::SendSssRecord(const std::string& line) {
    const std::string text = RecordLineToCsv(line) + "\r\n";
    ShowCounter();
    return SendOneWay(text);
}

bool GtsSssSender::SendBlock(const std::string& block) {
    return acknowledged_ ? SendAcknowledged(block) : SendOneWay(block);
}

// ACK ends it; NAK, or the repeat time without either, sends the text again.
bool GtsSssSender::SendAcknowledged(const std::string& text) {
    // The text goes out and the ACK or NAK comes in.
    const int repeatMs = kReplyRepeatMs + port_.LineTimeMs(text.size() + 1);
    port_.Write(text);
    std::int64_t lastWrite = host_.NowMs();
    while (!host_.StopRequested()) {
        const std::int64_t left = repeatMs - (host_.NowMs() - lastWrite);
        const std::string reply =
            ReadReply(static_cast<int>(std::clamp<std::int64_t>(left, 1, kStopCheckMs)));
        if (Contains(reply, kAck))
            return true;
        if (Contains(reply, kNak) || host_.NowMs() - lastWrite >= repeatMs) {
            port_.ClearBuffer(true, true);
            port_.Write(text);
            lastWrite = host_.NowMs();
        }
    }
    StopWithEndText(kSssEndText);
    return false;
}

// Done at XON, or after kOneWayWaitCount waits without a reply; XOFF holds it until XON.
// The first wait also lasts while the text goes out and a reply comes in, so that the
// next text, which clears the output queue, never cuts this one short.
bool GtsSssSender::SendOneWay(const std::string& text) {
    port_.ClearBuffer(true, true);
    port_.Write(text);
    for (int wait = 0; wait < kOneWayWaitCount; ++wait) {
        if (host_.StopRequested()) {
            StopWithEndText(EndText());
            return false;
        }
        host_.Pause(kOneWayWaitMs + (wait == 0 ? port_.LineTimeMs(text.size() + 1) : 0));
        const std::string reply = ReadReply(0);
        if (Contains(reply, kXon))
            return true;
        if (Contains(reply, kXoff))
            return WaitForXon();
    }
    return true;
}

bool GtsSssSender::WaitForXon() {
    while (!host_.StopRequested()) {
        if (Contains(ReadReply(kStopCheckMs), kXon))
            return true;
    }
    StopWithEndText(EndText());
    return false;
}

std::string GtsSssSender::ReadReply(int ms) {
    const bool waiting = ms > 0 ? port_.WaitForInput(ms) : port_.BytesWaiting() > 0;
    return waiting ? port_.Read(port_.BytesWaiting()) : std::string();
}

void GtsSssSender::ShowCounter() {
    host_.SetCounterText(SendCounterText(count_, recordLines_.size()));
}

void GtsSssSender::StopWithEndText(const std::string& endText) {
    port_.Write(endText);
}

const std::string& GtsSssSender::EndText() const {
    return format_ == TextFormat::Gts ? kGtsEndText : kSssEndText;
}

} // namespace stadix
