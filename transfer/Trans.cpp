#include "transfer/Trans.h"

#include "app/WindowPlacement.h"
#include "comport/SettingsPath.h"

#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

namespace {

constexpr int kWidth = 380;
constexpr int kHeight = 150;
constexpr int kStatusTop = 24;
constexpr int kCounterTop = 60;
constexpr int kCounterGap = 8;

void ShowWarningBox(QWidget* parent, const QString& text) {
    QMessageBox::warning(parent, QStringLiteral("Warning"), text);
}

} // namespace

TForm2::TForm2(const stadix::KvrDocument& document, QWidget* parent, std::string settingsPath)
    : QDialog(parent, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowStaysOnTopHint),
      session_(std::make_unique<stadix::KvrSession>(document, View())),
      settingsPath_(settingsPath.empty() ? stadix::SettingsFilePath().toStdString()
                                         : std::move(settingsPath)),
      warn_(ShowWarningBox) {
    setWindowTitle(QStringLiteral("Data Communication(KVR format)"));
    setFont(QFont(QStringLiteral("Times New Roman")));
    setFixedSize(kWidth, kHeight);
    BuildControls();
    CentreOnScreen(this);
}

TForm2::~TForm2() = default;

stadix::KvrSessionView& TForm2::View() {
    return *this;
}

void TForm2::BuildControls() {
    Label1 = new QLabel(QStringLiteral("Receiving data from total station.Please wait..."), this);
    Label2 = new QLabel(QStringLiteral("Transferred:"), this);
    Label3 = new QLabel(QStringLiteral("0"), this);
    Label3->setMinimumWidth(60);
    Button1 = new QPushButton(QStringLiteral("Cancel"), this);
    Button1->setAutoDefault(false);
    Button1->adjustSize();
    Button1->move((kWidth - Button1->width()) / 2, kHeight - Button1->height() - 16);
    connect(Button1, &QPushButton::clicked, this, [this] { Button1Click(); });
    CentreStatusLine();
}

// Label1 is centred in the window; the counter's caption starts where it starts.
void TForm2::CentreStatusLine() {
    Label1->adjustSize();
    Label1->move((width() - Label1->width()) / 2, kStatusTop);
    Label2->adjustSize();
    Label2->move(Label1->x(), kCounterTop);
    Label3->move(Label2->x() + Label2->width() + kCounterGap, kCounterTop);
}

void TForm2::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (std::exchange(shown_, true))
        return;
    // The transfer opens once the dialog is on the screen.
    QMetaObject::invokeMethod(
        this, [this] { FormShow(); }, Qt::QueuedConnection);
}

void TForm2::FormShow() {
    // Cancelled before the transfer could open.
    if (session_->Closed())
        return;
    session_->LoadPortSettings(settingsPath_);
    session_->Open();
}

void TForm2::Button1Click() {
    session_->Cancel();
}

void TForm2::reject() {
    Button1Click();
}

// A close request waits while a block is in flight; it is granted once the block has
// been answered.
void TForm2::closeEvent(QCloseEvent* event) {
    if (session_->Closed()) {
        event->accept();
        return;
    }
    event->ignore();
    session_->Cancel();
}

void TForm2::SetStatusText(const std::string& text) {
    Label1->setText(QString::fromStdString(text));
    CentreStatusLine();
}

void TForm2::SetCounterText(const std::string& text) {
    Label3->setText(QString::fromStdString(text));
    Label3->adjustSize();
}

void TForm2::ShowWarning(const std::string& text) {
    warn_(this, QString::fromStdString(text));
}

void TForm2::CloseDialog() {
    QDialog::done(QDialog::Rejected);
}
