#include "formats/ui/ExportLayoutDialog.h"

#include "base/Errors.h"
#include "widgets/DialogButtons.h"
#include "widgets/Prompts.h"
#include "widgets/TextCodec.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

ExportLayoutDialog::ExportLayoutDialog(std::string settingsPath, Prompts& prompts, QWidget* parent)
    : QDialog(parent), settingsPath_(std::move(settingsPath)), prompts_(prompts) {
    BuildControls();
    nameBox->setText("My format");
    extensionBox->setText("dat");
    ShowLayout(stadix::ReadUserFormat(settingsPath_).value_or(stadix::UserFormat()));
}

void ExportLayoutDialog::BuildControls() {
    setWindowTitle("Define Export Format");

    auto* group = new QGroupBox("Define format", this);
    auto* fields = new QGridLayout;
    for (int i = 0; i < 5; ++i) {
        QComboBox*& list = fieldLists[std::size_t(i)];
        list = new QComboBox(group);
        list->addItems({"Pt", "N", "E", "Z", "Code"});
        list->setEditable(false);
        fields->addWidget(new QLabel(QString("Field%1").arg(i + 1), group), 0, i);
        fields->addWidget(list, 1, i);
        fields->setColumnStretch(i, 1);
    }
    nameBox = new QLineEdit(group);
    nameBox->setMaxLength(30);
    extensionBox = new QLineEdit(group);
    extensionBox->setMaxLength(3);
    extensionBox->setMaximumWidth(extensionBox->fontMetrics().horizontalAdvance("MMMMMM"));
    auto* names = new QFormLayout;
    names->addRow("Format title", nameBox);
    names->addRow("File extension", extensionBox);
    numberedBox = new QCheckBox("Add sequence number", group);
    auto* groupLayout = new QVBoxLayout(group);
    groupLayout->addLayout(fields);
    groupLayout->addLayout(names);
    groupLayout->addWidget(numberedBox);

    const DialogButtons buttons = AddOkCancelButtons(this);
    okButton = buttons.ok;
    cancelButton = buttons.cancel;
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons.row);
}

void ExportLayoutDialog::ShowLayout(const stadix::UserFormat& layout) {
    if (!layout.name.empty()) {
        nameBox->setText(BytesToDisplay(layout.name));
        extensionBox->setText(BytesToDisplay(layout.extension));
    }
    for (std::size_t i = 0; i < fieldLists.size(); ++i)
        fieldLists[i]->setCurrentIndex(int(layout.columns[i]));
    numberedBox->setChecked(layout.numbered);
}

stadix::UserFormat ExportLayoutDialog::Layout() const {
    stadix::UserFormat layout;
    layout.name = DisplayToBytes(nameBox->text());
    layout.extension = DisplayToBytes(extensionBox->text());
    for (std::size_t i = 0; i < fieldLists.size(); ++i)
        layout.columns[i] = stadix::TableColumn(fieldLists[i]->currentIndex());
    layout.numbered = numberedBox->isChecked();
    return layout;
}

void ExportLayoutDialog::accept() {
    try {
        stadix::WriteUserFormat(settingsPath_, Layout());
    } catch (const stadix::FileError& failure) {
        // The layout typed stays on show, so that the user can try again or cancel.
        prompts_.ShowError(this, MessageToDisplay(failure.what()));
        return;
    }
    QDialog::accept();
}
