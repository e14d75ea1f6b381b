#include "transfer/GtsSssThread.h"

#include "comport/TComPort.h"

#include <exception>
#include <utility>

namespace stadix {

namespace {

// The engines' view of the main window's port; tells when bytes have been read.
class ComPortLine : public GtsSssPort {
  public:
    ComPortLine(TComPort& port, std::function<void()> onInput)
        : port_(port), onInput_(std::move(onInput)) {}

    int InputCount() override { return port_.InputCount(); }
    std::string Read(int count) override {
        std::string bytes;
        port_.ReadStr(bytes, count);
        if (!bytes.empty())
            onInput_();
        return bytes;
    }
    void Write(const std::string& bytes) override { port_.WriteStr(bytes); }
    void ClearBuffer(bool input, bool output) override { port_.ClearBuffer(input, output); }
    bool WaitForInput(int ms) override { return port_.WaitForInput(ms); }

  private:
    TComPort& port_;
    std::function<void()> onInput_;
};

} // namespace

GtsSssThread::GtsSssThread(TComPort& port, GtsSssWindow& window, QObject* windowObject)
    : port_(port), window_(window), windowObject_(windowObject) {}

void GtsSssThread::Begin() {
    port_.HandOverTo(this);
    start(QThread::NormalPriority);
}

void GtsSssThread::RequestStop() {
    {
        std::lock_guard<std::mutex> lock(stopMutex_);
        stop_ = true;
    }
    stopChanged_.notify_all();
}

// A failure ends the transfer: the dialog is asked to close and reports it.
void GtsSssThread::run() {
    try {
        ComPortLine line(port_, [this] { lastInputMs_ = NowMs(); });
        RunTransfer(line);
    } catch (const std::exception& failure) {
        failureText_ = failure.what();
        EndTransfer();
    }
    port_.HandBack();
}

bool GtsSssThread::StopRequested() {
    return stop_;
}

void GtsSssThread::Pause(int ms) {
    std::unique_lock<std::mutex> lock(stopMutex_);
    stopChanged_.wait_for(lock, std::chrono::milliseconds(ms), [this] { return stop_.load(); });
}

std::int64_t GtsSssThread::NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                                 start_)
        .count();
}

std::int64_t GtsSssThread::MsSinceInput() {
    return NowMs() - lastInputMs_;
}

void GtsSssThread::CallWindow(const std::function<void()>& call) {
    QMetaObject::invokeMethod(windowObject_, call, Qt::BlockingQueuedConnection);
}

void GtsSssThread::StartReceivedText() {
    CallWindow([this] { window_.StartReceivedText(); });
}

void GtsSssThread::AppendReceivedText(const std::string& text) {
    CallWindow([this, &text] { window_.AppendReceivedText(text); });
}

void GtsSssThread::SetCounterText(const std::string& text) {
    CallWindow([this, &text] { window_.SetCounterText(text); });
}

void GtsSssThread::SetCoordView(bool coordinates) {
    CallWindow([this, coordinates] { window_.SetCoordView(coordinates); });
}

// Posted, like a click on the dialog's button: the window stops this thread in turn.
void GtsSssThread::EndTransfer() {
    QMetaObject::invokeMethod(
        windowObject_, [window = &window_] { window->EndTransfer(); }, Qt::QueuedConnection);
}

} // namespace stadix
