// One instrument-format (KVR) transfer on a real serial port: the port component, the
// timers and the protocol engine wired together, so that the transfer dialog and
// stadix-cli run the same transfer. Qt Core only.
#pragma once

#include "comport/qt/ComPort.h"
#include "job/Job.h"
#include "transfer/KvrEngine.h"
#include "transfer/TransferSettings.h"
#include "transfer/qt/ComPortLine.h"

#include <QTimer>

#include <array>
#include <memory>

namespace stadix {

// What the session shows: the engine's view, and when the transfer is over before
// the dialog closes.
class KvrSessionView : public KvrView {
  public:
    // The end byte has been received or sent; the dialog still closes a little later.
    virtual void TransferEnded() {}
    // A line error has ended the transfer; the dialog still closes a little later.
    virtual void TransferFailed() {}
};

// The transfer fills the job: a receive empties its raw record store, then appends
// record lines, display lines and the listing of raw records (rendered in the job's
// decoding state) to its lines and raw records to its store; a send offers its record
// lines (coordinate view) or its raw records. What the job's lines hold, and whether
// raw records were loaded, follow the transfer as it goes.
class KvrSession : private KvrHost {
  public:
    KvrSession(Job& job, const TransferSettings& settings, bool sendMode, KvrSessionView& view);
    ~KvrSession() override;
    KvrSession(const KvrSession&) = delete;
    KvrSession& operator=(const KvrSession&) = delete;

    ComPort& Port() { return *port_; }

    // Opens the port with the settings and starts the transfer; a port that cannot be
    // opened is reported through the view's warning, and the dialog closes. A line log
    // that cannot be created is reported once the transfer has started.
    void Open();

    // Cancel, or any other request to close: granted at once, or as soon as the block
    // in flight has been answered. Nothing is sent to the instrument.
    void Cancel();

    bool Closed() const { return engine_.Closed(); }
    // A block is being received: a close request waits for its answer.
    bool BlockInFlight() const { return !engine_.Closed() && !engine_.CloseAllowed(); }
    bool Ended() const { return engine_.Ended(); }
    // A line error ended the transfer (or will, after its pause).
    bool LineFailed() const { return lineFailed_; }
    bool OpenFailed() const { return openFailed_; }
    int TransferredCount() const { return engine_.TransferredCount(); }

  private:
    void AppendRecordLine(const std::string& line) override;
    void ClearRawRecords() override;
    void AppendRawRecord(const std::string& record) override;
    void SetStatusText(const std::string& text) override;
    void SetCounterText(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void CloseDialog() override;
    void StartTimer(KvrTimer timer, int ms) override;
    void StopTimer(KvrTimer timer) override;

    void ConnectPort();
    void ReportLineError();
    void HandleLineError();
    void WriteBackResults();

    static KvrSettings SettingsOf(const Job& job, const TransferSettings& settings, bool sendMode);
    static KvrSendData SendDataOf(const Job& job, bool sendMode);

    Job& job_;
    const TransferSettings settings_;
    KvrSessionView& view_;
    std::unique_ptr<ComPort> port_;
    ComPortLine line_;
    std::array<std::unique_ptr<QTimer>, kKvrTimerCount> timers_;
    KvrEngine engine_;
    bool lineFailed_ = false;
    bool openFailed_ = false;
    bool lineErrorQueued_ = false;
};

} // namespace stadix
