#include "transfer/ui/KvrTransferDialog.h"

#include "widgets/Prompts.h"
#include "widgets/TextCodec.h"
#include "widgets/WindowPlacement.h"

#include <QCloseEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

KvrTransferDialog::KvrTransferDialog(stadix::Job& job, const stadix::TransferSettings& settings,
                                     bool sendMode, Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      prompts_(prompts), sendMode_(sendMode),
      session_(std::make_unique<stadix::KvrSession>(job, settings, sendMode, View())) {
    setWindowTitle(QStringLiteral("Data Communication(KVR format)"));
    BuildControls();
    adjustSize();
    CentreOnScreen(this);
}

KvrTransferDialog::~KvrTransferDialog() = default;

stadix::KvrSessionView& KvrTransferDialog::View() {
    return *this;
}

// The status line over the counter, the button centred below; the dialog follows
// the length of the status line.
void KvrTransferDialog::BuildControls() {
    statusLabel =
        new QLabel(QStringLiteral("Receiving data from total station. Please wait..."), this);
    counterCaption = new QLabel(QStringLiteral("Transferred:"), this);
    counterLabel = new QLabel(QStringLiteral("0"), this);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setAutoDefault(false);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);

    auto* counter = new QHBoxLayout;
    counter->addWidget(counterCaption);
    counter->addWidget(counterLabel, 1);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(statusLabel);
    layout->addLayout(counter);
    layout->addSpacing(fontMetrics().height());
    layout->addWidget(cancelButton, 0, Qt::AlignHCenter);
    statusLabel->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
}

void KvrTransferDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (std::exchange(shown_, true))
        return;
    // The transfer opens once the dialog is on the screen, unless cancelled before.
    QMetaObject::invokeMethod(
        this,
        [this] {
            if (!session_->Closed())
                session_->Open();
        },
        Qt::QueuedConnection);
}

void KvrTransferDialog::reject() {
    if (summaryShown_)
        QDialog::done(QDialog::Rejected);
    else
        session_->Cancel();
}

// A close request waits while a block is in flight; it is granted once the block has
// been answered.
void KvrTransferDialog::closeEvent(QCloseEvent* event) {
    if (session_->Closed() || summaryShown_) {
        event->accept();
        return;
    }
    event->ignore();
    session_->Cancel();
}

void KvrTransferDialog::SetStatusText(const std::string& text) {
    statusLabel->setText(QString::fromStdString(text));
}

void KvrTransferDialog::SetCounterText(const std::string& text) {
    counterLabel->setText(QString::fromStdString(text));
}

void KvrTransferDialog::ShowWarning(const std::string& text) {
    prompts_.Tell(this, BytesToDisplay(text), QMessageBox::Warning);
}

// The summary, once shown, stays until the user closes it. A transfer cancelled before
// anything went through, or one that never opened, closes at once.
void KvrTransferDialog::CloseDialog() {
    if (summaryShown_)
        return;
    if (session_->TransferredCount() > 0)
        ShowSummary(stadix::TransferOutcome::Cancelled);
    else
        QDialog::done(QDialog::Rejected);
}

void KvrTransferDialog::TransferEnded() {
    ShowSummary(stadix::TransferOutcome::Finished);
}

void KvrTransferDialog::TransferFailed() {
    ShowSummary(stadix::TransferOutcome::Failed);
}

void KvrTransferDialog::ShowSummary(stadix::TransferOutcome outcome) {
    summaryShown_ = true;
    SetStatusText(
        stadix::TransferSummary(outcome, sendMode_, session_->TransferredCount(), "record"));
    cancelButton->setText(QStringLiteral("Close"));
    cancelButton->setDefault(true);
}
