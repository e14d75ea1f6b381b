#include "sdcard/ui/ImportOptionsDialog.h"

#include "widgets/DialogButtons.h"
#include "widgets/RadioGroup.h"

#include <QButtonGroup>
#include <QPushButton>
#include <QVBoxLayout>

ImportOptionsDialog::ImportOptionsDialog(const stadix::ImportChoices& choices, QWidget* parent)
    : QDialog(parent) {
    setWindowTitle("Import Data");

    dataGroup = new RadioGroup("Select type and format of data",
                               {"Coord.of meas.", "Raw data of meas.", "Known.pt.coord."}, 1, this);
    distanceGroup = new RadioGroup("Distance unit", {"m", "Intl.ft", "US.ft"}, 3, this);
    angleGroup = new RadioGroup("Angle unit", {"Deg", "Gon", "Mil"}, 3, this);
    dataGroup->SetItemIndex(static_cast<int>(choices.dataType));
    distanceGroup->SetItemIndex(choices.distanceUnit);
    angleGroup->SetItemIndex(choices.angleUnit);
    connect(dataGroup->Buttons(), &QButtonGroup::idToggled, this, [this] { EnableUnits(); });
    EnableUnits();

    const DialogButtons buttons = AddOkCancelButtons(this);
    okButton = buttons.ok;
    cancelButton = buttons.cancel;

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(dataGroup);
    layout->addWidget(distanceGroup);
    layout->addWidget(angleGroup);
    layout->addLayout(buttons.row);
}

void ImportOptionsDialog::EnableUnits() {
    const bool rawData =
        dataGroup->ItemIndex() == static_cast<int>(stadix::ImportDataType::RawData);
    distanceGroup->setEnabled(rawData);
    angleGroup->setEnabled(rawData);
}

stadix::ImportChoices ImportOptionsDialog::Choices() const {
    stadix::ImportChoices choices;
    choices.dataType = static_cast<stadix::ImportDataType>(dataGroup->ItemIndex());
    choices.distanceUnit = distanceGroup->ItemIndex();
    choices.angleUnit = angleGroup->ItemIndex();
    return choices;
}
