// What the GTS and SSS worker threads share: the main window's port, handed over to the
// worker while it runs, the window, reached only through calls that run synchronously
// on the window thread, and the stop request.
#pragma once

#include "transfer/GtsSssTransfer.h"

#include <QThread>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>

namespace stadix {

class TComPort;

class GtsSssThread : public QThread, public GtsSssHost {
    Q_OBJECT

  public:
    // window is called on the thread of windowObject, which must be the window thread.
    GtsSssThread(TComPort& port, GtsSssWindow& window, QObject* windowObject);

    // Hands the open port over to the thread and starts it. Call on the window thread.
    void Begin();
    // Asks the thread to end; it does so within kStopCheckMs. While waiting for it, the
    // window thread must keep running the thread's calls (QEvent::MetaCall events).
    void RequestStop();
    // Why the transfer ended early (a port failure, a line that is no record); empty
    // when it did not. Read after the thread has finished.
    const std::string& FailureText() const { return failureText_; }
    // Milliseconds since a byte last came from the instrument, or since the thread was
    // made when none has come yet. Any thread may ask.
    std::int64_t MsSinceInput();

    bool StopRequested() override;
    void Pause(int ms) override;
    std::int64_t NowMs() override;
    void StartReceivedText() override;
    void AppendReceivedText(const std::string& text) override;
    void SetCounterText(const std::string& text) override;
    void SetCoordView(bool coordinates) override;
    void EndTransfer() override;

  protected:
    // The transfer itself, on the worker thread.
    virtual void RunTransfer(GtsSssPort& port) = 0;

  private:
    void run() final;
    void CallWindow(const std::function<void()>& call);

    TComPort& port_;
    GtsSssWindow& window_;
    QObject* windowObject_;
    std::atomic<bool> stop_{false};
    std::mutex stopMutex_;
    std::condition_variable stopChanged_;
    const std::chrono::steady_clock::time_point start_ = std::chrono::steady_clock::now();
    std::string failureText_;
    std::atomic<std::int64_t> lastInputMs_{0};
};

} // namespace stadix
