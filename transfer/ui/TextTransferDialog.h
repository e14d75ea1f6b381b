#pragma once

#include "transfer/qt/GtsSssSession.h"

#include <QDialog>

#include <memory>

class Prompts;
class QLabel;
class QPushButton;

// The GTS/SSS transfer progress dialog. Showing it starts the transfer on the job (see
// GtsSssSession); the transfer ends by itself, by Cancel or by closing, and the dialog
// then stops it and closes the port, so that a later transfer can open it again.
class TextTransferDialog : public QDialog, private stadix::GtsSssSessionView {
    Q_OBJECT
  public:
    TextTransferDialog(stadix::Job& job, const stadix::TransferSettings& settings, bool sendMode,
                       Prompts& prompts, QWidget* parent = nullptr);
    ~TextTransferDialog() override;

    // Stops the transfer and closes the port, then closes.
    void done(int result) override;

    const stadix::GtsSssSession& Session() const { return session_; }

    QLabel* statusLabel = nullptr;
    QLabel* counterLabel = nullptr;
    QPushButton* cancelButton = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;

  private:
    void CentreLabels();

    void SetCounterText(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void TransferEnded() override;

    Prompts& prompts_;
    stadix::GtsSssSession session_;
    const bool sendMode_;
    bool shown_ = false;
};
