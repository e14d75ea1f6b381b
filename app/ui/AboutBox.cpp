#include "app/ui/AboutBox.h"

#include "app/ui/Icons.h"
#include "base/Version.h"
#include "widgets/WindowPlacement.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QVBoxLayout>

namespace {
// The application font, scaled.
QFont ScaledFont(const QFont& base, double scale, bool bold) {
    QFont font = base;
    if (base.pointSizeF() > 0)
        font.setPointSizeF(base.pointSizeF() * scale);
    else
        font.setPixelSize(int(base.pixelSize() * scale));
    font.setBold(bold);
    return font;
}
} // namespace

AboutBox::AboutBox(QWidget* parent) : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint) {
    setMinimumSize(343, 223);
    setModal(true);
    auto* panel = new QFrame(this);
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setLineWidth(2);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);

    productName = new QLabel("Total Station ", panel);
    productLine = new QLabel("Communication Software", panel);
    versionLabel = new QLabel(QString("Version  ") + stadix::kVersionText, panel);
    for (QLabel* label : {productName, productLine})
        label->setFont(ScaledFont(font(), 1.6, true));
    versionLabel->setFont(ScaledFont(font(), 1.3, false));
    auto* icon = new QLabel(panel);
    icon->setPixmap(ApplicationIcon().pixmap(48, 48));
    auto* layout = new QVBoxLayout(panel);
    layout->addStretch();
    layout->addWidget(icon, 0, Qt::AlignCenter);
    for (QLabel* label : {productName, productLine, versionLabel}) {
        label->setAlignment(Qt::AlignCenter);
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        layout->addWidget(label);
    }
    layout->addStretch();
    layout->setContentsMargins(24, 16, 24, 16);
    outer->setSizeConstraint(QLayout::SetFixedSize);

    closeTimer_.setInterval(kSplashMs);
    closeTimer_.setSingleShot(true);
    connect(&closeTimer_, &QTimer::timeout, this, &QDialog::accept);
}

void AboutBox::mousePressEvent(QMouseEvent* event) {
    event->accept();
    accept();
}

void AboutBox::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    CentreOnScreen(this);
}
