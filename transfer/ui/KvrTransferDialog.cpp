#include "transfer/ui/KvrTransferDialog.h"

#include "widgets/Prompts.h"
#include "widgets/TextCodec.h"
#include "widgets/WindowPlacement.h"

#include <QCloseEvent>
#include <QLabel>
#include <QPushButton>

namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 150;
constexpr int kStatusTop = 24;
constexpr int kCounterTop = 60;
constexpr int kCounterGap = 8;

} // namespace

KvrTransferDialog::KvrTransferDialog(stadix::Job& job, const stadix::TransferSettings& settings,
                                     bool sendMode, Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      prompts_(prompts), sendMode_(sendMode),
      session_(std::make_unique<stadix::KvrSession>(job, settings, sendMode, View())) {
    setWindowTitle(QStringLiteral("Data Communication(KVR format)"));
    setFont(QFont(QStringLiteral("Times New Roman")));
    setFixedSize(kWidth, kHeight);
    BuildControls();
    CentreOnScreen(this);
}

KvrTransferDialog::~KvrTransferDialog() = default;

stadix::KvrSessionView& KvrTransferDialog::View() {
    return *this;
}

void KvrTransferDialog::BuildControls() {
    statusLabel =
        new QLabel(QStringLiteral("Receiving data from total station. Please wait..."), this);
    counterCaption = new QLabel(QStringLiteral("Transferred:"), this);
    counterLabel = new QLabel(QStringLiteral("0"), this);
    counterLabel->setMinimumWidth(60);
    cancelButton = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton->setAutoDefault(false);
    cancelButton->adjustSize();
    cancelButton->move((kWidth - cancelButton->width()) / 2, kHeight - cancelButton->height() - 16);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    CentreStatusLine();
}

// The status line is centred in the window; the counter's caption starts where it starts.
void KvrTransferDialog::CentreStatusLine() {
    statusLabel->adjustSize();
    statusLabel->move((width() - statusLabel->width()) / 2, kStatusTop);
    counterCaption->adjustSize();
    counterCaption->move(statusLabel->x(), kCounterTop);
    counterLabel->move(counterCaption->x() + counterCaption->width() + kCounterGap, kCounterTop);
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
    CentreStatusLine();
}

void KvrTransferDialog::SetCounterText(const std::string& text) {
    counterLabel->setText(QString::fromStdString(text));
    counterLabel->adjustSize();
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
