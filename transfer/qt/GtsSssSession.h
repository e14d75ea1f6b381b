// One GTS or SSS transfer on a real serial port: the port component handed to a
// worker thread that runs the protocol, its calls into the window thread, the stop
// and the wait for it, so that the transfer dialog and stadix-cli run the same
// transfer. Qt Core only.
#pragma once

#include "comport/qt/ComPort.h"
#include "job/Job.h"
#include "transfer/GtsSssTransfer.h"
#include "transfer/TransferSettings.h"

#include <QObject>

#include <cstdint>
#include <memory>
#include <string>

namespace stadix {

class TextTransferThread;

// What the session shows. Record texts are bytes in the instrument's code page.
class GtsSssSessionView {
  public:
    virtual ~GtsSssSessionView() = default;
    virtual void SetCounterText(const std::string& text) = 0;
    // A message box with the caption "Warning".
    virtual void ShowWarning(const std::string& text) = 0;
    // The transfer is over by itself (end of transmission, all sent, a failure): the
    // dialog is asked to close, which stops the session.
    virtual void TransferEnded() = 0;
};

// A receive fills the job: the first accepted block replaces its lines, later ones
// are appended, all as the text arrived (control characters and line ends split into
// lines), and the first block says whether they hold coordinates. Text accepted
// before a stop stays. A send offers the job's record lines.
class GtsSssSession : private GtsSssWindow {
  public:
    GtsSssSession(Job& job, const TransferSettings& settings, bool sendMode,
                  GtsSssSessionView& view);
    ~GtsSssSession() override;
    GtsSssSession(const GtsSssSession&) = delete;
    GtsSssSession& operator=(const GtsSssSession&) = delete;

    // Opens the port and starts the worker thread. A send from the measurement view
    // and a port that cannot be opened are refused with a warning: false. A line log
    // that cannot be created is reported once the transfer has started.
    bool Start();
    // Stops the worker thread, closes the port and warns of a failure that ended the
    // transfer. While it waits, the worker's calls into this thread keep running.
    void Stop();

    bool Started() const { return started_; }
    // The worker ended the transfer itself, without a failure.
    bool EndedByItself() const { return ended_ && failure_.empty(); }
    // Why the transfer ended early (a port failure, a line that is no record); empty
    // when it did not. Known once stopped.
    const std::string& FailureText() const { return failure_; }
    int AcceptedCount() const { return accepted_; }
    // Whether anything went through: a block or line was accepted, or records went out
    // (the counter moved).
    bool Progressed() const { return progressed_; }
    // Milliseconds since a byte last came from the instrument, or since the start.
    std::int64_t MsSinceInput() const;
    const ComPort& Port() const { return port_; }

  private:
    void StartReceivedText() override;
    void AppendReceivedText(const std::string& text) override;
    void SetCounterText(const std::string& text) override;
    void SetCoordView(bool coordinates) override;
    void EndTransfer() override;

    Job& job_;
    const TransferSettings settings_;
    const bool sendMode_;
    GtsSssSessionView& view_;
    ComPort port_;
    // Lives on the window thread, where the worker's calls run.
    QObject context_;
    std::unique_ptr<TextTransferThread> thread_;
    std::string failure_;
    int accepted_ = 0;
    bool started_ = false;
    bool ended_ = false;
    bool progressed_ = false;
    bool stopping_ = false;
};

} // namespace stadix
