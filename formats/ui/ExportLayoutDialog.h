#pragma once

#include "formats/UserFormat.h"

#include <QDialog>

#include <array>
#include <string>

class Prompts;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

// "Define Export Format": edits the user-defined export layout and stores it in the
// settings file on OK. Nothing typed is checked, as Export reads the layout back with
// its own defaults for what does not read.
class ExportLayoutDialog : public QDialog {
    Q_OBJECT
  public:
    ExportLayoutDialog(std::string settingsPath, Prompts& prompts, QWidget* parent = nullptr);

    // The layout as the controls show it.
    stadix::UserFormat Layout() const;

    void accept() override;

    std::array<QComboBox*, 5> fieldLists{};
    QLineEdit* nameBox = nullptr;
    QLineEdit* extensionBox = nullptr;
    QCheckBox* numberedBox = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

  private:
    void BuildControls();
    void ShowLayout(const stadix::UserFormat& layout);

    std::string settingsPath_;
    Prompts& prompts_;
};
