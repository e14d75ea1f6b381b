#include "sdcard/ui/JobNameDialog.h"

#include "sdcard/JobName.h"
#include "widgets/DialogButtons.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

JobNameDialog::JobNameDialog(const QString& caption, const QString& prompt, const QString& text,
                             int maxLength, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle(caption);
    setWindowFlag(Qt::WindowStaysOnTopHint);
    promptLabel = new QLabel(prompt, this);
    nameBox = new QLineEdit(text, this);
    nameBox->setMaxLength(maxLength);
    nameBox->installEventFilter(this);
    const DialogButtons buttons = AddOkCancelButtons(this);
    okButton = buttons.ok;
    cancelButton = buttons.cancel;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(promptLabel);
    layout->addWidget(nameBox);
    layout->addLayout(buttons.row);
    // Room for the whole caption in the title bar.
    setMinimumWidth(fontMetrics().horizontalAdvance(caption) +
                    8 * fontMetrics().averageCharWidth());
}

bool JobNameDialog::eventFilter(QObject* watched, QEvent* event) {
    if (watched != nameBox || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* key = static_cast<QKeyEvent*>(event);
    const QString typed = key->text();
    // Keys without text (arrows, Home), control characters and Enter pass as they are.
    if (typed.size() != 1 || typed[0].unicode() < 0x20 || typed[0].unicode() == 0x7F)
        return false;
    const char taken =
        typed[0].unicode() < 0x80 ? stadix::JobNameCharacter(char(typed[0].unicode())) : '\0';
    if (taken != '\0')
        nameBox->insert(QString(QChar(taken)));
    return true;
}

void JobNameDialog::accept() {
    const QString name = nameBox->text().trimmed();
    if (!name.isEmpty())
        name_ = name;
    QDialog::accept();
}

std::optional<QString> InputText(QWidget* parent, const QString& caption, const QString& prompt,
                                 const QString& text, int maxLength) {
    JobNameDialog dialog(caption, prompt, text, maxLength, parent);
    dialog.exec();
    return dialog.Name();
}
