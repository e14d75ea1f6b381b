#include "app/About.h"

#include "app/Icons.h"
#include "app/Version.h"
#include "app/WindowPlacement.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {
QFont PixelFont(const QString& family, int pixels, bool bold) {
    QFont font(family);
    font.setPixelSize(pixels);
    font.setBold(bold);
    return font;
}
} // namespace

TAboutBox::TAboutBox(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setFixedSize(343, 223);
    setModal(true);
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);

    ProductName = new QLabel("Total Station ", panel);
    ProductName2 = new QLabel("Communication Software", panel);
    Version = new QLabel(QString("Version  ") + stadix::kVersionText, panel);
    for (QLabel* label : {ProductName, ProductName2})
        label->setFont(PixelFont("Times New Roman", 24, true));
    Version->setFont(PixelFont("Arial", 19, false));
    auto* icon = new QLabel(panel);
    icon->setPixmap(ApplicationIcon().pixmap(48, 48));
    auto* layout = new QVBoxLayout(panel);
    layout->addStretch();
    layout->addWidget(icon, 0, Qt::AlignCenter);
    for (QLabel* label : {ProductName, ProductName2, Version}) {
        label->setAlignment(Qt::AlignCenter);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        layout->addWidget(label);
    }
    layout->addStretch();

    Timer1.setInterval(kSplashMs);
    Timer1.setSingleShot(true);
    connect(&Timer1, &QTimer::timeout, this, &QDialog::accept);
}

void TAboutBox::mousePressEvent(QMouseEvent* event) {
    event->accept();
    accept();
}

void TAboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOnScreen(this);
}
