#pragma once

#include "app/ui/RadioGroup.h"
#include "transfer/TransferSettings.h"

#include <QDialog>
#include <QStringList>

class Prompts;
class QComboBox;
class QLabel;
class QPushButton;

// The communication settings dialog: shows transfer settings and returns the user's
// choices; it neither stores nor applies them. Closing it by OK or any other way takes
// the choices, once a port is chosen: without one, OK says so and the dialog stays
// open, and any other way of closing rejects it.
class SettingsDialog : public QDialog {
    Q_OBJECT
  public:
    // portNames: the machine's serial ports. sendMode: the unit caption says "from".
    SettingsDialog(const stadix::TransferSettings& settings, bool sendMode, QStringList portNames,
                   Prompts& prompts, QWidget* parent = nullptr);

    // The choices; the settings given, changed by what the user did.
    const stadix::TransferSettings& Settings() const { return settings_; }

    void done(int result) override;

    RadioGroup* formatGroup = nullptr;
    RadioGroup* protocolGroup = nullptr;
    RadioGroup* unitGroup = nullptr;
    QComboBox* portList = nullptr;
    QComboBox* baudList = nullptr;
    QComboBox* characterList = nullptr;
    QComboBox* stopBitsList = nullptr;
    QPushButton* okButton = nullptr;

  private:
    void BuildControls(bool sendMode);
    QComboBox* AddSetting(QGroupBox* frame, int row, const QString& caption,
                          const QStringList& items);
    void ShowSettings(const QStringList& portNames);
    void ApplyFormatRule();
    void ApplyPortAndBaud();
    void ApplyChoices();

    stadix::TransferSettings settings_;
    Prompts& prompts_;
};
