#include "transfer/qt/GtsSssSession.h"

#include "transfer/qt/ComPortLine.h"

#include <QCoreApplication>
#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <utility>

namespace stadix {

namespace {

constexpr int kWaitSliceMs = 5;

TextFormat TextFormatOf(DataFormat format) {
    return format == DataFormat::Gts ? TextFormat::Gts : TextFormat::Sss;
}

} // namespace

// The worker thread of a receive or a send: it holds the port while it runs, and
// reaches the window only through calls that run synchronously on the window thread.
class TextTransferThread : public QThread, private GtsSssHost {
  public:
    using Transfer = std::function<void(LinePort&, GtsSssHost&)>;

    TextTransferThread(ComPort& port, GtsSssWindow& window, QObject& windowContext,
                       Transfer transfer)
        : port_(port), window_(window), windowContext_(windowContext),
          transfer_(std::move(transfer)) {}

    // Hands the open port over to the thread and starts it.
    void Begin() {
        port_.HandOverTo(this);
        start(QThread::NormalPriority);
    }

    // The thread ends within kStopCheckMs.
    void RequestStop() {
        {
            std::lock_guard<std::mutex> lock(stopMutex_);
            stop_ = true;
        }
        stopChanged_.notify_all();
    }

    const std::string& FailureText() const { return failureText_; }
    std::int64_t MsSinceInput() { return NowMs() - lastInputMs_; }

  private:
    // A failure ends the transfer: the window is asked to close and reports it.
    void run() override {
        try {
            ComPortLine line(port_);
            line.SetInputHandler([this] { lastInputMs_ = NowMs(); });
            transfer_(line, *this);
        } catch (const std::exception& failure) {
            failureText_ = failure.what();
            EndTransfer();
        }
        port_.HandBack();
    }

    bool StopRequested() override { return stop_; }

    void Pause(int ms) override {
        std::unique_lock<std::mutex> lock(stopMutex_);
        stopChanged_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_.load(); });
    }

    std::int64_t NowMs() override {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - start_)
            .count();
    }

    void CallWindow(const std::function<void()>& call) {
        QMetaObject::invokeMethod(&windowContext_, call, Qt::BlockingQueuedConnection);
    }

    void StartReceivedText() override {
        CallWindow([this] { window_.StartReceivedText(); });
    }
    void AppendReceivedText(const std::string& text) override {
        CallWindow([this, &text] { window_.AppendReceivedText(text); });
    }
    void SetCounterText(const std::string& text) override {
        CallWindow([this, &text] { window_.SetCounterText(text); });
    }
    void SetCoordView(bool coordinates) override {
        CallWindow([this, coordinates] { window_.SetCoordView(coordinates); });
    }
    // Posted, like a click on the dialog's button: the window stops this thread in turn.
    void EndTransfer() override {
        QMetaObject::invokeMethod(
            &windowContext_, [window = &window_] { window->EndTransfer(); }, Qt::QueuedConnection);
    }

    ComPort& port_;
    GtsSssWindow& window_;
    QObject& windowContext_;
    const Transfer transfer_;
    std::atomic<bool> stop_{false};
    std::mutex stopMutex_;
    std::condition_variable stopChanged_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::string failureText_;
    std::atomic<std::int64_t> lastInputMs_{0};
};

GtsSssSession::GtsSssSession(Job& job, const TransferSettings& settings, bool sendMode,
                             GtsSssSessionView& view)
    : job_(job), settings_(settings), sendMode_(sendMode), view_(view) {}

GtsSssSession::~GtsSssSession() {
    Stop();
}

bool GtsSssSession::Start() {
    if (sendMode_ && !job_.InCoordinateView()) {
        view_.ShowWarning(kRefusedMeasurementSend);
        return false;
    }
    try {
        port_.SetSettings(settings_.port);
        port_.Open();
    } catch (const ComPortError& failure) {
        view_.ShowWarning(OpenFailedMessage(settings_.port.portName, failure));
        return false;
    }
    const TextFormat format = TextFormatOf(settings_.dataFormat);
    const bool acknowledged = settings_.protocol == GtsProtocol::AckNak;
    TextTransferThread::Transfer transfer;
    if (sendMode_) {
        transfer = [format, acknowledged, unit = settings_.coordUnit,
                    lines = job_.lines](LinePort& line, GtsSssHost& host) {
            GtsSssSender(line, host, format, acknowledged, unit, lines).Run();
        };
    } else {
        transfer = [format, acknowledged](LinePort& line, GtsSssHost& host) {
            GtsSssReceiver(line, host, format, acknowledged).Run();
        };
    }
    const std::string logFailure = StartLineLog(port_, settings_);
    GtsSssWindow& window = *this;
    thread_ = std::make_unique<TextTransferThread>(port_, window, context_, std::move(transfer));
    thread_->Begin();
    started_ = true;
    if (!logFailure.empty())
        view_.ShowWarning(logFailure);
    return true;
}

// The thread may be inside a synchronous call into this thread: those calls keep
// running while we wait for it.
void GtsSssSession::Stop() {
    if (std::exchange(stopping_, true))
        return;
    if (thread_) {
        thread_->RequestStop();
        while (!thread_->wait(kWaitSliceMs))
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
        failure_ = thread_->FailureText();
    }
    port_.Close();
    thread_.reset();
    if (!failure_.empty())
        view_.ShowWarning(failure_);
}

std::int64_t GtsSssSession::MsSinceInput() const {
    return thread_ ? thread_->MsSinceInput() : 0;
}

void GtsSssSession::StartReceivedText() {
    job_.lines.clear();
    job_.content = JobContent::Text;
}

void GtsSssSession::AppendReceivedText(const std::string& text) {
    AppendTextLines(job_.lines, text);
    ++accepted_;
}

void GtsSssSession::SetCounterText(const std::string& text) {
    progressed_ = true;
    view_.SetCounterText(text);
}

void GtsSssSession::SetCoordView(bool coordinates) {
    job_.content = coordinates ? JobContent::ReceivedCoordinates : JobContent::Text;
}

void GtsSssSession::EndTransfer() {
    ended_ = true;
    if (!stopping_)
        view_.TransferEnded();
}

} // namespace stadix
