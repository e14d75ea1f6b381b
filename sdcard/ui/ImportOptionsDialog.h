#pragma once

#include "sdcard/CardImport.h"

#include <QDialog>

class RadioGroup;
class QPushButton;

// "Import Data": what to take from a record file or a job (measured coordinates, raw
// data, known points) and the units to read it in. The units are chosen only for raw
// data; they are applied whatever is chosen.
class ImportOptionsDialog : public QDialog {
    Q_OBJECT
  public:
    explicit ImportOptionsDialog(const stadix::ImportChoices& choices, QWidget* parent = nullptr);

    // The choices as the dialog shows them, however it was closed.
    stadix::ImportChoices Choices() const;

    RadioGroup* dataGroup = nullptr;
    RadioGroup* distanceGroup = nullptr;
    RadioGroup* angleGroup = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

  private:
    void EnableUnits();
};
