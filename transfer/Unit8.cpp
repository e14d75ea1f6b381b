#include "transfer/Unit8.h"

#include "app/Prompts.h"
#include "app/WindowPlacement.h"
#include "comport/TComPort.h"
#include "transfer/KvrEngine.h"
#include "transfer/Rcvdatathread.h"
#include "transfer/Senddatathread.h"

#include <QCoreApplication>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

constexpr int kWidth = 420;
constexpr int kHeight = 140;
constexpr int kLabel1Top = 24;
constexpr int kLabel2Top = 56;
constexpr int kButtonTop = 96;
constexpr int kWaitSliceMs = 5;

const char* const kRefusedMeasurementSend =
    "Measurement data cannot be sent in the GTS or SSS format.";

} // namespace

TForm8::TForm8(stadix::TComPort& port, GtsSssDocument document, Prompts* prompts, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      ComPort1(port), document_(document), prompts_(prompts) {
    setWindowTitle(document_.DataFormat == 1 ? "Data Communication(GTS format)"
                                             : "Data Communication(SSS format)");
    setFont(QFont("Times New Roman"));
    setFixedSize(kWidth, kHeight);

    Label1 = new QLabel("Receiving data from total station.Please wait...", this);
    Label2 = new QLabel(this);
    if (document_.SendMode)
        Label2->setText("Records transferred:");
    else if (document_.DataFormat == 1)
        Label2->setText("Record blocks received:");
    else
        Label2->setText("Records received:");
    Button1 = new QPushButton("Cancel", this);
    Button1->setGeometry((kWidth - 75) / 2, kButtonTop, 75, 25);
    connect(Button1, &QPushButton::clicked, this, &QDialog::reject);
    CentreLabels();

    CentreOnScreen(this);
}

TForm8::~TForm8() {
    StopTransfer();
}

void TForm8::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!created_) {
        created_ = true;
        FormCreate();
    }
}

void TForm8::FormCreate() {
    if (document_.SendMode && !document_.CoordView) {
        WarnAndClose(kRefusedMeasurementSend);
        return;
    }
    try {
        ComPort1.Open();
    } catch (const stadix::EComPort&) {
        WarnAndClose(stadix::OpenFailedMessage(ComPort1.Settings().portName));
        return;
    }
    portOpened_ = true;
    if (document_.SendMode) {
        Label1->setText("Sending data to total station. Please wait...");
        CentreLabels();
    }
    thread_ = CreateThread();
    thread_->Begin();
    threadStarted_ = true;
}

std::unique_ptr<stadix::GtsSssThread> TForm8::CreateThread() {
    const bool acknowledged = document_.GtsAck == 0;
    stadix::GtsSssWindow& window = *this;
    if (document_.SendMode)
        return std::make_unique<stadix::SendData>(ComPort1, window, this, Format(), acknowledged,
                                                  document_.CoordUnit, document_.RecordLines);
    return std::make_unique<stadix::ReceiveData>(ComPort1, window, this, Format(), acknowledged);
}

stadix::TextFormat TForm8::Format() const {
    return document_.DataFormat == 1 ? stadix::TextFormat::Gts : stadix::TextFormat::Sss;
}

void TForm8::WarnAndClose(const std::string& text) {
    ShowWarning(text);
    QMetaObject::invokeMethod(this, &QDialog::reject, Qt::QueuedConnection);
}

void TForm8::ShowWarning(const std::string& text) {
    const QString message = QString::fromStdString(text);
    if (prompts_)
        prompts_->Tell(this, "Warning", message, QMessageBox::Warning);
    else
        QMessageBox::warning(this, "Warning", message);
}

void TForm8::CentreLabels() {
    Label1->adjustSize();
    Label2->adjustSize();
    const int left = (width() - Label1->width()) / 2;
    Label1->move(left, kLabel1Top);
    Label2->move(left, kLabel2Top);
}

void TForm8::done(int result) {
    StopTransfer();
    QDialog::done(result);
}

// The thread may be inside a synchronous call into this thread: those calls keep
// running while we wait for it.
void TForm8::StopTransfer() {
    if (stopping_)
        return;
    stopping_ = true;
    if (thread_) {
        thread_->RequestStop();
        while (!thread_->wait(kWaitSliceMs))
            QCoreApplication::sendPostedEvents(nullptr, QEvent::MetaCall);
    }
    if (portOpened_)
        ComPort1.Close();
    const std::string failure = thread_ ? thread_->FailureText() : std::string();
    thread_.reset();
    if (!failure.empty())
        ShowWarning(failure);
}

void TForm8::StartReceivedText() {
    document_.RecordLines.clear();
    document_.CoordView = false;
}

void TForm8::AppendReceivedText(const std::string& text) {
    stadix::AppendTextLines(document_.RecordLines, text);
}

void TForm8::SetCounterText(const std::string& text) {
    Label2->setText(QString::fromStdString(text));
    Label2->adjustSize();
}

void TForm8::SetCoordView(bool coordinates) {
    document_.CoordView = coordinates;
}

void TForm8::EndTransfer() {
    if (!stopping_)
        Button1->click();
}
