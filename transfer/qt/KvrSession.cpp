#include "transfer/qt/KvrSession.h"

#include "rawconv/Listing.h"

#include <algorithm>
#include <utility>

namespace stadix {

KvrSession::KvrSession(Job& job, const TransferSettings& settings, bool sendMode,
                       KvrSessionView& view)
    : job_(job), settings_(settings), view_(view), port_(std::make_unique<ComPort>()),
      line_(*port_),
      engine_(line_, *this, SettingsOf(job, settings, sendMode), SendDataOf(job, sendMode)) {
    for (int i = 0; i < kKvrTimerCount; ++i) {
        timers_[i] = std::make_unique<QTimer>();
        timers_[i]->setSingleShot(true);
        timers_[i]->setTimerType(Qt::PreciseTimer);
        const auto timer = static_cast<KvrTimer>(i);
        QObject::connect(timers_[i].get(), &QTimer::timeout, timers_[i].get(),
                         [this, timer] { engine_.OnTimer(timer); });
    }
    // A failing port operation is a line error: it is reported once, after the step in
    // progress, and the operation gives nothing.
    line_.SetErrorHandler([this](const ComPortError&) { ReportLineError(); });
    ConnectPort();
}

KvrSession::~KvrSession() {
    WriteBackResults();
}

KvrSettings KvrSession::SettingsOf(const Job& job, const TransferSettings& settings,
                                   bool sendMode) {
    KvrSettings kvr;
    kvr.sendMode = sendMode;
    kvr.coordView = job.InCoordinateView();
    kvr.rawLoaded = job.rawLoaded;
    kvr.coordUnit = settings.coordUnit;
    return kvr;
}

KvrSendData KvrSession::SendDataOf(const Job& job, bool sendMode) {
    if (!sendMode)
        return {};
    return {job.lines, job.rawRecords};
}

void KvrSession::ConnectPort() {
    ComPort* port = port_.get();
    QObject::connect(port, &ComPort::BytesArrived, port,
                     [this](int count) { engine_.OnBytesArrived(count); });
    QObject::connect(port, &ComPort::ErrorOccurred, port,
                     [this](LineErrors) { HandleLineError(); });
}

void KvrSession::Open() {
    try {
        port_->SetSettings(settings_.port);
        port_->Open();
    } catch (const ComPortError& failure) {
        openFailed_ = true;
        engine_.ReportOpenFailure(OpenFailedMessage(settings_.port.portName, failure));
        return;
    }
    const std::string logFailure = StartLineLog(*port_, settings_);
    engine_.Open();
    if (!logFailure.empty())
        view_.ShowWarning(logFailure);
}

void KvrSession::Cancel() {
    engine_.OnCancel();
}

// The engine is in the middle of a step: the error is handled once that step is over.
void KvrSession::ReportLineError() {
    if (lineErrorQueued_)
        return;
    lineErrorQueued_ = true;
    QTimer::singleShot(0, port_.get(), [this] { HandleLineError(); });
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
    job_.lines.push_back(line);
}

void KvrSession::ClearRawRecords() {
    job_.rawRecords.clear();
}

void KvrSession::AppendRawRecord(const std::string& record) {
    job_.rawRecords += record;
    RawRecord raw{};
    std::copy_n(record.begin(), std::min(record.size(), kRawRecordSize), raw.begin());
    AddRecordToListing(job_.decodeState, job_.lines, raw);
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
    job_.content = ContentOf(engine_.CoordRecords(), engine_.RawLoaded());
    job_.rawLoaded = engine_.RawLoaded();
}

} // namespace stadix
