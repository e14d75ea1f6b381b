#pragma once

#include <QDialog>

#include "transfer/GtsSssTransfer.h"

#include <memory>
#include <string>
#include <vector>

class Prompts;
class QLabel;
class QPushButton;

namespace stadix {
class GtsSssThread;
class TComPort;
} // namespace stadix

// What the GTS/SSS transfer dialog reads from the main window (the settings left by
// the communication settings dialog) and gives back. The main window passes its own
// members:
//
//   GtsSssDocument document{SendMode_, DataFormat_, GtsAck_, CoordUnit_, CoordView_,
//                           RecordLines_};
//   TForm8 form(ComPort1, document, prompts_.get(), this);
//   form.exec();
//   if (!SendMode_ && CoordView_) ConvertReceivedCoordinates();
struct GtsSssDocument {
    const bool& SendMode;
    const int& DataFormat; // 1 GTS, 2 SSS
    const int& GtsAck;     // 0 ACK/NAK, 1 one way
    const int& CoordUnit;
    // Receive: set when coordinates arrived, clear for measurement data; left alone
    // when nothing was accepted. Send: a clear CoordView (measurement view) is refused,
    // as its lines are listing text, not record lines.
    bool& CoordView;
    // Receive: the first accepted block replaces the list, later ones are appended, all
    // as the text arrived (control characters and line ends split into lines). Send:
    // the record lines to send, unchanged.
    std::vector<std::string>& RecordLines;
};

// GTS/SSS transfer progress dialog.
//
// Showing it opens the main window's port (with its current settings) and starts the
// transfer thread; the transfer ends by itself (end of transmission received or all
// records sent) or by Cancel or by closing, and the dialog then stops the thread and
// closes the port, so that a later transfer can open it again. Text accepted before a
// cancel stays in the record text list.
class TForm8 : public QDialog, private stadix::GtsSssWindow {
    Q_OBJECT
  public:
    // prompts: where warnings go (a message box when null).
    TForm8(stadix::TComPort& port, GtsSssDocument document, Prompts* prompts = nullptr,
           QWidget* parent = nullptr);
    ~TForm8() override;

    // Stops the transfer and closes the port, then closes.
    void done(int result) override;

    // Whether the worker thread was started (the port opened).
    bool ThreadStarted() const { return threadStarted_; }

    // Controls, named as on the window.
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QPushButton* Button1 = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Opens the port and starts the thread, or warns and closes.
    void FormCreate();
    void WarnAndClose(const std::string& text);
    // A warning message box, or the prompts' one when given.
    void ShowWarning(const std::string& text);
    void CentreLabels();
    void StopTransfer();
    std::unique_ptr<stadix::GtsSssThread> CreateThread();
    stadix::TextFormat Format() const;

    void StartReceivedText() override;
    void AppendReceivedText(const std::string& text) override;
    void SetCounterText(const std::string& text) override;
    void SetCoordView(bool coordinates) override;
    void EndTransfer() override;

    stadix::TComPort& ComPort1;
    GtsSssDocument document_;
    Prompts* prompts_;
    std::unique_ptr<stadix::GtsSssThread> thread_;
    bool created_ = false;
    bool threadStarted_ = false;
    bool portOpened_ = false;
    bool stopping_ = false;
};
