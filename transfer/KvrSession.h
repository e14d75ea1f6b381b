// One instrument-format (KVR) transfer on a real serial port: the port component
// ComPort1, the timers and the protocol engine wired together, so that the transfer
// dialog and stadix-cli run the same transfer. Qt Core only.
#pragma once

#include "comport/TComPort.h"
#include "transfer/KvrEngine.h"

#include <QTimer>

#include <array>
#include <memory>
#include <string>
#include <vector>

namespace stadix {

// The main window's document as a transfer sees it. The transfer reads sendMode and
// coordUnit; it appends received record lines, display lines and listing lines to
// recordLines and raw records to rawRecords (empties rawRecords first when receiving);
// a send reads them. coordView and rawLoaded are read when the session is created and
// written back, as the transfer leaves them, when it ends, fails or closes.
struct KvrDocument {
    bool sendMode;
    bool& coordView;
    bool& rawLoaded;
    int coordUnit;
    std::vector<std::string>& recordLines;
    std::string& rawRecords;
};

// What the session shows to the user: the dialog's labels, its message box and its
// closing. Record texts are bytes in the instrument's code page.
class KvrSessionView {
  public:
    virtual ~KvrSessionView() = default;
    virtual void SetStatusText(const std::string& text) = 0;
    virtual void SetCounterText(const std::string& text) = 0;
    virtual void ShowWarning(const std::string& text) = 0;
    // The transfer is over (ended, cancelled or failed): close the dialog.
    virtual void CloseDialog() = 0;
    // The end byte has been received or sent; the dialog still closes a little later.
    virtual void TransferEnded() {}
    // A line error has ended the transfer; the dialog still closes a little later.
    virtual void TransferFailed() {}
};

class KvrSession : private KvrPort, private KvrHost {
  public:
    KvrSession(const KvrDocument& document, KvrSessionView& view);
    ~KvrSession() override;
    KvrSession(const KvrSession&) = delete;
    KvrSession& operator=(const KvrSession&) = delete;

    // The dialog's own port component; settings may be changed before Open.
    TComPort& ComPort1() { return *ComPort1_; }

    // Loads the section ComPort1 of the settings file, when the file exists.
    void LoadPortSettings(const std::string& settingsPath);

    // Opens the port and starts the transfer; a port that cannot be opened is
    // reported through the view's warning, and the dialog closes.
    void Open();

    // Cancel, or any other request to close: granted at once, or as soon as the block
    // in flight has been answered. Nothing is sent to the instrument.
    void Cancel();

    // Whether a close request may be granted now.
    bool CloseAllowed() const { return engine_.Closed() || engine_.CloseAllowed(); }
    bool Closed() const { return engine_.Closed(); }
    bool Ended() const { return engine_.Ended(); }
    // A line error ended the transfer (or will, after its pause).
    bool LineFailed() const { return lineFailed_; }
    bool OpenFailed() const { return openFailed_; }
    int TransferredCount() const { return engine_.TransferredCount(); }

  private:
    // KvrPort. A failing port operation is a line error: it is reported once, after
    // the step in progress, and the operation gives nothing.
    int InputCount() override;
    std::string Read(int count) override;
    void Write(const std::string& bytes) override;
    void ClearBuffer(bool input, bool output) override;

    // KvrHost.
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

    static KvrSettings SettingsOf(const KvrDocument& document);
    static KvrSendData SendDataOf(const KvrDocument& document);

    const KvrDocument document_;
    KvrSessionView& view_;
    std::unique_ptr<TComPort> ComPort1_;
    std::array<std::unique_ptr<QTimer>, kKvrTimerCount> timers_;
    KvrEngine engine_;
    bool lineFailed_ = false;
    bool openFailed_ = false;
    bool lineErrorQueued_ = false;
};

} // namespace stadix
