#include "transfer/KvrEngine.h"

#include "base/Errors.h"
#include "base/TextColumns.h"
#include "base/TextFormat.h"
#include "comport/ComPortError.h"
#include "rawconv/RawRecords.h"
#include "transfer/Codecs.h"

#include <algorithm>
#include <cstring>

namespace stadix {

namespace {

// The record type bytes with which the instrument announces the block that follows.
constexpr std::uint8_t kCoordBlockType = 0xAA;   // the packed coordinate block
constexpr std::uint8_t kStationBlockType = 0xAF; // the packed station block
constexpr std::uint8_t kCsvBlockType = 0x06;     // comma text of up to 53 bytes
constexpr std::uint8_t kLongCsvBlockType = 0xA9; // comma text of up to 56 bytes
constexpr std::uint8_t kRawRecordType = 0xA8;    // one raw record
// Fixed-column text blocks, shown as display lines.
constexpr std::uint8_t kCoordTextType = 0xA0;    // point coordinates and target height
constexpr std::uint8_t kDistanceTextType = 0xA1; // angles and slope distance
constexpr std::uint8_t kAngleTextType = 0xA2;    // angles only
constexpr std::uint8_t kStationTextType = 0xA3;  // station coordinates and instrument height

// The request bytes with which the instrument asks for the next block when we send.
constexpr std::uint8_t kCoordBlockRequest = 0xBB;  // the packed coordinate block
constexpr std::uint8_t kTextBlock11Request = 0xB7; // fixed-column text, 11-character numbers
constexpr std::uint8_t kRawRecordRequest = 0xB8;   // one raw record
constexpr std::uint8_t kTextBlock12Request = 0xB9; // fixed-column text, 12-character numbers

// A record type the instrument may announce, and the block that follows it.
struct RecordType {
    std::uint8_t type;
    std::size_t length;
    bool coordinates;
};

// Searched in this order.
constexpr std::array<RecordType, 9> kRecordTypes = {{
    {kCoordBlockType, 32, true},
    {kStationBlockType, 51, false},
    {kCsvBlockType, 53, true},
    {kCoordTextType, 56, false},
    {kDistanceTextType, 47, false},
    {kAngleTextType, 39, false},
    {kStationTextType, 56, false},
    {kRawRecordType, 42, false},
    {kLongCsvBlockType, 56, true},
}};

// A block the instrument may ask for when we send.
struct Request {
    std::uint8_t request;
    std::size_t length;
    bool coordinates;
};

constexpr std::array<Request, 4> kRequests = {{
    {kCoordBlockRequest, 32, true},
    {kTextBlock11Request, 49, true},
    {kRawRecordRequest, 42, false},
    {kTextBlock12Request, 52, true},
}};

const std::string kFullWidthColon = "\xA3\xBA";
const std::string kSeparatorLine(60, '-');

const RecordType* FindRecordType(std::uint8_t type) {
    const auto it = std::find_if(kRecordTypes.begin(), kRecordTypes.end(),
                                 [type](const RecordType& entry) { return entry.type == type; });
    return it == kRecordTypes.end() ? nullptr : &*it;
}

const Request* FindRequest(std::uint8_t request) {
    const auto it =
        std::find_if(kRequests.begin(), kRequests.end(),
                     [request](const Request& entry) { return entry.request == request; });
    return it == kRequests.end() ? nullptr : &*it;
}

int TimerIndex(KvrTimer timer) {
    return static_cast<int>(timer);
}

} // namespace

std::uint8_t KvrChecksum(const std::uint8_t* bytes, std::size_t count) {
    unsigned sum = 0;
    for (std::size_t i = 0; i < count; ++i)
        sum += bytes[i];
    return static_cast<std::uint8_t>(sum & 0xFF);
}

std::string FormatFixedColumnRecord(std::uint8_t type, const std::string& text) {
    const std::string pt = Columns(text, 0, 8);
    const std::string code = Columns(text, 8, 8);
    switch (type) {
    case kDistanceTextType:
        return "Pt.:" + pt + " Tgt.h:" + Columns(text, 40, 7) + "m HAR:" + Columns(text, 32, 8) +
               " ZA:" + Columns(text, 24, 8) + " Sdist:" + Columns(text, 16, 8) + "m Code:" + code;
    case kAngleTextType:
        return "Pt.:" + pt + " Tgt.h:" + Columns(text, 32, 7) + "m HAR:" + Columns(text, 24, 8) +
               " ZA:" + Columns(text, 16, 8) + " Code:" + code;
    case kCoordTextType:
        return "Pt.:" + pt + " Tgt.h:" + Columns(text, 49, 7) + "m N:" + Columns(text, 16, 11) +
               "m E:" + Columns(text, 27, 11) + "m Z:" + Columns(text, 38, 11) + "m Code:" + code;
    case kStationTextType:
        return "Pt.:" + pt + " Ins.h:" + Columns(text, 49, 7) + "m N0:" + Columns(text, 16, 11) +
               "m E0:" + Columns(text, 27, 11) + "m Z0:" + Columns(text, 38, 11) + "m Code:" + code;
    default:
        return std::string();
    }
}

std::vector<std::string> StationBlockLines(const std::uint8_t* block) {
    const std::string& colon = kFullWidthColon;
    return {
        kSeparatorLine,
        "  PT#" + colon + DecodeKvrText(block, 8),
        "  ID" + colon + DecodeKvrText(block + 8, 8),
        "  HA" + colon + DecodeKvrAngle(block + 16) + "  VA" + colon + " " +
            DecodeKvrAngle(block + 20) + "  SD" + colon + " " + DecodeKvrNumber(block + 24, 4) +
            "m",
        "  Stn" + colon + "N: " + DecodeKvrNumber(block + 28, 5) + "m" + "   E" + colon +
            DecodeKvrNumber(block + 33, 5) + "m" + "   Z" + colon + DecodeKvrNumber(block + 38, 5) +
            "m",
        "  Ins Ht" + colon + DecodeKvrNumber(block + 43, 3) + "m",
        "  R Ht" + colon + DecodeKvrNumber(block + 46, 3) + "m",
    };
}

KvrEngine::KvrEngine(LinePort& port, KvrHost& host, const KvrSettings& settings,
                     KvrSendData sendData)
    : port_(port), host_(host), settings_(settings), sendData_(std::move(sendData)),
      coordRecords_(settings.coordView), rawLoaded_(settings.rawLoaded) {}

void KvrEngine::Open() {
    port_.ClearBuffer(true, true);
    closeAllowed_ = true;
    if (!settings_.sendMode) {
        awaiting_ = Awaiting::RecordType;
        host_.ClearRawRecords();
        return;
    }
    host_.SetStatusText("Sending data to total station. Please wait...");
    sendIndex_ = 0;
    StartTimer(KvrTimer::Poll, kPollIntervalMs);
    awaiting_ = Awaiting::Request;
}

void KvrEngine::ReportOpenFailure(const std::string& message) {
    host_.ShowWarning(message);
    Close();
}

void KvrEngine::OnBytesArrived(int count) {
    if (closed_)
        return;
    bytesAtEvent_ = count;
    switch (awaiting_) {
    case Awaiting::RecordType:
        RecordTypeStep();
        break;
    case Awaiting::Block:
        CheckBlockArrival();
        break;
    case Awaiting::Request:
        RequestStep();
        break;
    case Awaiting::Echo:
        EchoStep();
        break;
    case Awaiting::Busy:
        // The bytes stay queued until the step in progress has finished.
        break;
    }
}

void KvrEngine::OnTimer(KvrTimer timer) {
    const int index = TimerIndex(timer);
    if (closed_ || !timerRunning_[index])
        return;
    timerRunning_[index] = false;
    switch (timer) {
    case KvrTimer::Poll:
        port_.ClearBuffer(true, true);
        WriteByte(kPollByte);
        StartTimer(KvrTimer::Poll, kPollIntervalMs);
        break;
    case KvrTimer::BlockWait:
        if (port_.BytesWaiting() == static_cast<int>(blockLength_ + 1))
            ReceiveBlock();
        else
            FinishBlockStep(kRejectByte);
        break;
    case KvrTimer::ReplyPause:
        OfferNextRecord();
        break;
    case KvrTimer::CloseDelay:
        Close();
        break;
    }
}

void KvrEngine::OnCancel() {
    if (closed_)
        return;
    if (closeAllowed_)
        Close();
    else
        cancelRequested_ = true;
}

void KvrEngine::OnLineError() {
    // A broken line keeps reporting errors; the first one decides.
    if (closed_ || timerRunning_[TimerIndex(KvrTimer::CloseDelay)])
        return;
    StopTimer(KvrTimer::Poll);
    StopTimer(KvrTimer::BlockWait);
    StopTimer(KvrTimer::ReplyPause);
    awaiting_ = Awaiting::Busy;
    closeAllowed_ = true;
    host_.SetStatusText("Communication error!");
    if (cancelRequested_)
        Close();
    else
        StartTimer(KvrTimer::CloseDelay, kErrorCloseDelayMs);
}

void KvrEngine::RecordTypeStep() {
    awaiting_ = Awaiting::Busy;
    if (bytesAtEvent_ != 1) {
        // Noise, or a type byte that came together with its block: drop it all.
        port_.ClearBuffer(true, true);
        awaiting_ = Awaiting::RecordType;
        return;
    }
    std::uint8_t type = 0;
    const bool read = ReadByte(type);
    if (read && type == kEndByte) {
        EndTransfer();
        return;
    }
    const RecordType* entry = read ? FindRecordType(type) : nullptr;
    if (entry == nullptr) {
        port_.ClearBuffer(true, true);
        awaiting_ = Awaiting::RecordType;
        return;
    }
    coordRecords_ = entry->coordinates;
    if (!entry->coordinates)
        rawLoaded_ = type == kRawRecordType;
    WriteByte(kGoAheadByte);
    port_.ClearBuffer(true, false);
    BeginBlockStep(type, entry->length);
}

void KvrEngine::BeginBlockStep(std::uint8_t type, std::size_t length) {
    closeAllowed_ = false;
    blockType_ = type;
    blockLength_ = length;
    awaiting_ = Awaiting::Block;
    // The go-ahead goes out, then the block and its checksum come in.
    StartTimer(KvrTimer::BlockWait, kBlockWaitMs + port_.LineTimeMs(1 + length + 1));
}

void KvrEngine::CheckBlockArrival() {
    const int waiting = port_.BytesWaiting();
    const int expected = static_cast<int>(blockLength_ + 1);
    if (waiting < expected)
        return;
    StopTimer(KvrTimer::BlockWait);
    if (waiting == expected)
        ReceiveBlock();
    else
        FinishBlockStep(kRejectByte);
}

void KvrEngine::ReceiveBlock() {
    const std::string data = port_.Read(static_cast<int>(blockLength_ + 1));
    if (data.size() != blockLength_ + 1) {
        FinishBlockStep(kRejectByte);
        return;
    }
    std::memcpy(blockBuffer_.data(), data.data(), data.size());
    if (KvrChecksum(blockBuffer_.data(), blockLength_) != blockBuffer_[blockLength_]) {
        FinishBlockStep(kRejectByte);
        return;
    }
    // The data now reads as a terminated text.
    blockBuffer_[blockLength_] = 0;
    HandleBlock();
    CountTransferred();
    FinishBlockStep(kAcceptByte);
}

void KvrEngine::HandleBlock() {
    const std::uint8_t* block = blockBuffer_.data();
    switch (blockType_) {
    case kCoordBlockType:
        host_.AppendRecordLine(DecodeCoordBlock(block, settings_.coordUnit));
        break;
    case kCsvBlockType:
    case kLongCsvBlockType:
        host_.AppendRecordLine(DecodeCsvBlock(block, blockLength_, settings_.coordUnit));
        break;
    case kRawRecordType:
        host_.AppendRawRecord(std::string(reinterpret_cast<const char*>(block), kRawRecordSize));
        break;
    case kStationBlockType:
        for (const std::string& line : StationBlockLines(block))
            host_.AppendRecordLine(line);
        break;
    default: {
        const char* text = reinterpret_cast<const char*>(block);
        host_.AppendRecordLine(kSeparatorLine);
        host_.AppendRecordLine(
            FormatFixedColumnRecord(blockType_, std::string(text, strnlen(text, blockLength_))));
        break;
    }
    }
}

void KvrEngine::FinishBlockStep(std::uint8_t reply) {
    awaiting_ = Awaiting::Busy;
    // What is left of a spoilt block goes now: cleared later together with the output
    // queue, it would take the reject along before the instrument has seen it.
    if (reply == kRejectByte)
        port_.ClearBuffer(true, false);
    WriteByte(reply);
    closeAllowed_ = true;
    awaiting_ = Awaiting::RecordType;
    if (cancelRequested_)
        Close();
    else
        ResumeQueuedInput();
}

void KvrEngine::RequestStep() {
    awaiting_ = Awaiting::Busy;
    // The instrument has spoken: no more polling in this transfer.
    StopTimer(KvrTimer::Poll);
    if (bytesAtEvent_ != 1) {
        port_.ClearBuffer(true, true);
        RejectAndPause();
        return;
    }
    std::uint8_t request = 0;
    if (ReadByte(request) && RequestAllowed(request) && FillSendBlock(request)) {
        port_.ClearBuffer(true, true);
        SendBlockStep();
        return;
    }
    // Anything else, the end byte included, is answered by a poll.
    WriteByte(kPollByte);
    port_.ClearBuffer(true, false);
    awaiting_ = Awaiting::Request;
}

bool KvrEngine::RequestAllowed(std::uint8_t request) const {
    const Request* entry = FindRequest(request);
    if (entry == nullptr || entry->coordinates != settings_.coordView)
        return false;
    if (!entry->coordinates && !rawLoaded_)
        return false;
    return static_cast<std::size_t>(sendIndex_) < RecordsToSend();
}

bool KvrEngine::FillSendBlock(std::uint8_t request) {
    const Request& entry = *FindRequest(request);
    std::array<std::uint8_t, kBlockBufferSize> block{};
    try {
        switch (request) {
        case kCoordBlockRequest: {
            const CoordBlock coords =
                EncodeCoordBlock(sendData_.recordLines[sendIndex_], settings_.coordUnit);
            std::copy(coords.begin(), coords.end(), block.begin());
            break;
        }
        case kRawRecordRequest:
            std::memcpy(block.data(), sendData_.rawRecords.data() + sendIndex_ * kRawRecordSize,
                        kRawRecordSize);
            break;
        default: {
            const std::string& line = sendData_.recordLines[sendIndex_];
            const std::string text = request == kTextBlock11Request
                                         ? EncodeTextBlock11(line, settings_.coordUnit)
                                         : EncodeTextBlock12(line, settings_.coordUnit);
            std::memcpy(block.data(), text.data(), std::min(text.size(), entry.length));
            break;
        }
        }
    } catch (const ConversionError&) {
        // A record that cannot be put into this block is not offered.
        return false;
    }
    blockBuffer_ = block;
    blockLength_ = entry.length;
    blockBuffer_[blockLength_] = KvrChecksum(blockBuffer_.data(), blockLength_);
    return true;
}

void KvrEngine::SendBlockStep() {
    closeAllowed_ = false;
    // The checksum stays here for the echo; it is not transmitted.
    port_.Write(std::string(reinterpret_cast<const char*>(blockBuffer_.data()), blockLength_));
    closeAllowed_ = true;
    awaiting_ = Awaiting::Echo;
}

void KvrEngine::EchoStep() {
    awaiting_ = Awaiting::Busy;
    if (bytesAtEvent_ != 1) {
        port_.ClearBuffer(true, true);
        RejectAndPause();
        return;
    }
    std::uint8_t echo = 0;
    if (!ReadByte(echo) || echo != blockBuffer_[blockLength_]) {
        // SendIndex stays, so the next request gets the same record again.
        RejectAndPause();
        return;
    }
    port_.ClearBuffer(true, true);
    ++sendIndex_;
    WriteByte(kAcceptByte);
    CountTransferred();
    if (static_cast<std::size_t>(sendIndex_) >= RecordsToSend()) {
        WriteByte(kEndByte);
        EndTransfer();
        return;
    }
    OfferNextRecord();
}

void KvrEngine::RejectAndPause() {
    WriteByte(kRejectByte);
    // The pause the instrument sees starts when the reject has reached it.
    StartTimer(KvrTimer::ReplyPause, kReplyPauseMs + port_.LineTimeMs(1));
}

void KvrEngine::OfferNextRecord() {
    WriteByte(kPollByte);
    awaiting_ = Awaiting::Request;
    ResumeQueuedInput();
}

std::size_t KvrEngine::RecordsToSend() const {
    if (settings_.coordView)
        return sendData_.recordLines.size();
    return sendData_.rawRecords.size() / kRawRecordSize;
}

void KvrEngine::CountTransferred() {
    ++transferredCount_;
    host_.SetCounterText(std::to_string(transferredCount_));
}

void KvrEngine::EndTransfer() {
    ended_ = true;
    host_.SetStatusText("Transfer terminated.");
    StartTimer(KvrTimer::CloseDelay, kEndCloseDelayMs);
}

// Bytes that came while a step was busy get the event they would have had.
void KvrEngine::ResumeQueuedInput() {
    const int waiting = port_.BytesWaiting();
    if (waiting > 0)
        OnBytesArrived(waiting);
}

bool KvrEngine::ReadByte(std::uint8_t& byte) {
    const std::string bytes = port_.Read(1);
    if (bytes.size() != 1)
        return false;
    byte = static_cast<std::uint8_t>(bytes[0]);
    return true;
}

void KvrEngine::WriteByte(std::uint8_t byte) {
    port_.Write(std::string(1, static_cast<char>(byte)));
}

void KvrEngine::StartTimer(KvrTimer timer, int ms) {
    timerRunning_[TimerIndex(timer)] = true;
    host_.StartTimer(timer, ms);
}

void KvrEngine::StopTimer(KvrTimer timer) {
    if (!timerRunning_[TimerIndex(timer)])
        return;
    timerRunning_[TimerIndex(timer)] = false;
    host_.StopTimer(timer);
}

void KvrEngine::Close() {
    for (int i = 0; i < kKvrTimerCount; ++i)
        StopTimer(static_cast<KvrTimer>(i));
    awaiting_ = Awaiting::Busy;
    closed_ = true;
    host_.CloseDialog();
}

} // namespace stadix
