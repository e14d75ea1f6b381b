#include "widgets/DialogButtons.h"

#include <QDialog>
#include <QHBoxLayout>
#include <QPushButton>

DialogButtons AddOkCancelButtons(QDialog* dialog) {
    DialogButtons buttons;
    buttons.ok = new QPushButton("OK", dialog);
    buttons.cancel = new QPushButton("Cancel", dialog);
    buttons.ok->setDefault(true);
    QObject::connect(buttons.ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(buttons.cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    buttons.row = new QHBoxLayout;
    buttons.row->addStretch(1);
    buttons.row->addWidget(buttons.ok);
    buttons.row->addWidget(buttons.cancel);
    return buttons;
}
