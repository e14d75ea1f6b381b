#pragma once

#include "transfer/qt/GtsSssSession.h"

#include <QDialog>

#include <memory>

class Prompts;
class QLabel;
class QPushButton;

// The GTS/SSS transfer progress dialog. Showing it starts the transfer on the job (see
// GtsSssSession); the transfer ends by itself, by Cancel or by closing, and the dialog
// then stops it and closes the port, so that a later transfer can open it again. A
// transfer that ended, failed, or was cancelled after something went through leaves
// the dialog open with what came of it and a Close button.
class TextTransferDialog : public QDialog, private stadix::GtsSssSessionView {
    Q_OBJECT
  public:
    TextTransferDialog(stadix::Job& job, const stadix::TransferSettings& settings, bool sendMode,
                       Prompts& prompts, QWidget* parent = nullptr);
    ~TextTransferDialog() override;

    // Stops the transfer and closes the port, then shows what came of it or closes.
    void done(int result) override;

    const stadix::GtsSssSession& Session() const { return session_; }

    QLabel* statusLabel = nullptr;
    QLabel* counterLabel = nullptr;
    QPushButton* cancelButton = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    // Stops the transfer and shows what came of it; false, showing nothing, for a
    // transfer cancelled before anything went through.
    bool ShowSummary();

    void SetCounterText(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void TransferEnded() override;

    Prompts& prompts_;
    stadix::GtsSssSession session_;
    const bool sendMode_;
    const stadix::DataFormat format_;
    // The records a send offers.
    const int recordCount_;
    bool shown_ = false;
    bool summaryShown_ = false;
};
