#pragma once

#include "transfer/TransferSummary.h"
#include "transfer/qt/KvrSession.h"

#include <QDialog>

#include <memory>

class Prompts;
class QLabel;
class QPushButton;

// The instrument-format (KVR) transfer dialog. Shown modally, it opens the port with
// the settings given and runs the transfer on the job (see KvrSession); the port
// closes with the dialog. A transfer that ended, failed, or was cancelled after a
// record went through leaves the dialog open with what came of it and a Close button:
//
//     KvrTransferDialog dialog(job, settings, sendMode, prompts, this);
//     dialog.exec();
class KvrTransferDialog : public QDialog, private stadix::KvrSessionView {
    Q_OBJECT
  public:
    KvrTransferDialog(stadix::Job& job, const stadix::TransferSettings& settings, bool sendMode,
                      Prompts& prompts, QWidget* parent = nullptr);
    ~KvrTransferDialog() override;

    stadix::KvrSession& Session() { return *session_; }

    // Escape and every other way to cancel act as the Cancel (or Close) button.
    void reject() override;

    QLabel* statusLabel = nullptr;
    QLabel* counterCaption = nullptr;
    QLabel* counterLabel = nullptr;
    QPushButton* cancelButton = nullptr;

  protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

  private:
    stadix::KvrSessionView& View();
    void BuildControls();
    void ShowSummary(stadix::TransferOutcome outcome);

    void SetStatusText(const std::string& text) override;
    void SetCounterText(const std::string& text) override;
    void ShowWarning(const std::string& text) override;
    void CloseDialog() override;
    void TransferEnded() override;
    void TransferFailed() override;

    Prompts& prompts_;
    const bool sendMode_;
    std::unique_ptr<stadix::KvrSession> session_;
    bool shown_ = false;
    bool summaryShown_ = false;
};
