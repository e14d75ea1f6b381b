#include "transfer/KvrSession.h"

#include "rawconv/Listing.h"

#include <algorithm>
#include <filesystem>
#include <utility>

namespace stadix {

KvrSession::KvrSession(const KvrDocument& document, KvrSessionView& view)
    : document_(document), view_(view), ComPort1_(std::make_unique<TComPort>()),
      engine_(*this, *this, SettingsOf(document), SendDataOf(document)) {
    for (int i = 0; i < kKvrTimerCount; ++i) {
        timers_[i] = std::make_unique<QTimer>();
        timers_[i]->setSingleShot(true);
        timers_[i]->setTimerType(Qt::PreciseTimer);
        const auto timer = static_cast<KvrTimer>(i);
        QObject::connect(timers_[i].get(), &QTimer::timeout, timers_[i].get(),
                         [this, timer] { engine_.OnTimer(timer); });
    }
    ConnectPort();
}

KvrSession::~KvrSession() {
    WriteBackResults();
}

KvrSettings KvrSession::SettingsOf(const KvrDocument& document) {
    KvrSettings settings;
    settings.sendMode = document.sendMode;
    settings.coordView = document.coordView;
    settings.rawLoaded = document.rawLoaded;
    settings.coordUnit = document.coordUnit;
    return settings;
}

KvrSendData KvrSession::SendDataOf(const KvrDocument& document) {
    if (!document.sendMode)
        return {};
    return {document.recordLines, document.rawRecords};
}

void KvrSession::ConnectPort() {
    TComPort* port = ComPort1_.get();
    QObject::connect(port, &TComPort::OnRxChar, port,
                     [this](int count) { engine_.OnBytesArrived(count); });
    QObject::connect(port, &TComPort::OnError, port, [this](int) { HandleLineError(); });
}

void KvrSession::LoadPortSettings(const std::string& settingsPath) {
    std::error_code error;
    if (std::filesystem::exists(settingsPath, error))
        ComPort1_->LoadSettings(settingsPath);
}

void KvrSession::Open() {
    try {
        ComPort1_->Open();
    } catch (const EComPort&) {
        openFailed_ = true;
        engine_.ReportOpenFailure(ComPort1_->Settings().portName);
        return;
    }
    engine_.Open();
}

void KvrSession::Cancel() {
    engine_.OnCancel();
}

int KvrSession::InputCount() {
    try {
        return ComPort1_->InputCount();
    } catch (const EComPort&) {
        ReportLineError();
        return 0;
    }
}

std::string KvrSession::Read(int count) {
    std::string bytes;
    try {
        ComPort1_->ReadStr(bytes, count);
    } catch (const EComPort&) {
        ReportLineError();
        bytes.clear();
    }
    return bytes;
}

void KvrSession::Write(const std::string& bytes) {
    try {
        ComPort1_->WriteStr(bytes);
    } catch (const EComPort&) {
        ReportLineError();
    }
}

void KvrSession::ClearBuffer(bool input, bool output) {
    try {
        ComPort1_->ClearBuffer(input, output);
    } catch (const EComPort&) {
        ReportLineError();
    }
}

// The engine is in the middle of a step: the error is handled once that step is over.
void KvrSession::ReportLineError() {
    if (lineErrorQueued_)
        return;
    lineErrorQueued_ = true;
    QTimer::singleShot(0, ComPort1_.get(), [this] { HandleLineError(); });
}

// The first error decides; one after the transfer has closed changes nothing.
void KvrSession::HandleLineError() {
    if (engine_.Closed() || std::exchange(lineFailed_, true))
        return;
    engine_.OnLineError();
    WriteBackResults();
    view_.TransferFailed();
}

void KvrSession::AppendRecordLine(const std::string& line) {
    document_.recordLines.push_back(line);
}

void KvrSession::ClearRawRecords() {
    document_.rawRecords.clear();
}

void KvrSession::AppendRawRecord(const std::string& record) {
    document_.rawRecords += record;
    RawRecord raw{};
    std::copy_n(record.begin(), std::min(record.size(), kRawRecordSize), raw.begin());
    AddRecordToListing(document_.recordLines, raw);
}

void KvrSession::SetStatusText(const std::string& text) {
    view_.SetStatusText(text);
    if (!engine_.Ended())
        return;
    WriteBackResults();
    view_.TransferEnded();
}

void KvrSession::SetCounterText(const std::string& text) {
    view_.SetCounterText(text);
}

void KvrSession::ShowWarning(const std::string& text) {
    view_.ShowWarning(text);
}

void KvrSession::CloseDialog() {
    for (auto& timer : timers_)
        timer->stop();
    WriteBackResults();
    view_.CloseDialog();
}

void KvrSession::StartTimer(KvrTimer timer, int ms) {
    timers_[static_cast<int>(timer)]->start(ms);
}

void KvrSession::StopTimer(KvrTimer timer) {
    timers_[static_cast<int>(timer)]->stop();
}

void KvrSession::WriteBackResults() {
    document_.coordView = engine_.CoordRecords();
    document_.rawLoaded = engine_.RawLoaded();
}

} // namespace stadix
