#include "transfer/ui/TextTransferDialog.h"

#include "transfer/TransferSummary.h"
#include "widgets/Prompts.h"
#include "widgets/TextCodec.h"
#include "widgets/WindowPlacement.h"

#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QString CounterCaption(bool sendMode, stadix::DataFormat format) {
    if (sendMode)
        return "Records transferred:";
    return format == stadix::DataFormat::Gts ? "Record blocks received:" : "Records received:";
}

} // namespace

TextTransferDialog::TextTransferDialog(stadix::Job& job, const stadix::TransferSettings& settings,
                                       bool sendMode, Prompts& prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      prompts_(prompts), session_(job, settings, sendMode, *this), sendMode_(sendMode),
      format_(settings.dataFormat), recordCount_(static_cast<int>(job.lines.size())) {
    setWindowTitle(settings.dataFormat == stadix::DataFormat::Gts
                       ? "Data Communication(GTS format)"
                       : "Data Communication(SSS format)");
    statusLabel = new QLabel("Receiving data from total station. Please wait...", this);
    statusLabel->setMinimumWidth(fontMetrics().averageCharWidth() * 48);
    counterLabel = new QLabel(CounterCaption(sendMode, settings.dataFormat), this);
    cancelButton = new QPushButton("Cancel", this);
    connect(cancelButton, &QPushButton::clicked, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(statusLabel);
    layout->addWidget(counterLabel);
    layout->addSpacing(fontMetrics().height());
    layout->addWidget(cancelButton, 0, Qt::AlignHCenter);
    adjustSize();
    CentreOnScreen(this);
}

TextTransferDialog::~TextTransferDialog() {
    session_.Stop();
}

// The transfer starts once the dialog is shown; a refusal closes it again.
void TextTransferDialog::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (std::exchange(shown_, true))
        return;
    if (!session_.Start()) {
        QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
        return;
    }
    if (sendMode_)
        statusLabel->setText("Sending data to total station. Please wait...");
}

void TextTransferDialog::done(int result) {
    if (summaryShown_ || !ShowSummary())
        QDialog::done(result);
}

bool TextTransferDialog::ShowSummary() {
    session_.Stop();
    const stadix::TransferOutcome outcome =
        !session_.FailureText().empty() ? stadix::TransferOutcome::Failed
        : session_.EndedByItself()      ? stadix::TransferOutcome::Finished
                                        : stadix::TransferOutcome::Cancelled;
    if (outcome == stadix::TransferOutcome::Cancelled && !session_.Progressed())
        return false;
    const bool gtsBlocks = !sendMode_ && format_ == stadix::DataFormat::Gts;
    statusLabel->setText(QString::fromStdString(stadix::TransferSummary(
        outcome, sendMode_, sendMode_ ? recordCount_ : session_.AcceptedCount(),
        gtsBlocks ? "record block" : "record")));
    cancelButton->setText("Close");
    summaryShown_ = true;
    return true;
}

void TextTransferDialog::SetCounterText(const std::string& text) {
    counterLabel->setText(QString::fromStdString(text));
}

void TextTransferDialog::ShowWarning(const std::string& text) {
    prompts_.Tell(this, BytesToDisplay(text), QMessageBox::Warning);
}

void TextTransferDialog::TransferEnded() {
    ShowSummary();
}
