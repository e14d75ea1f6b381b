#pragma once

#include "transfer/TransferSettings.h"

#include <QDialog>
#include <QGroupBox>
#include <QStringList>

class Prompts;
class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// A captioned group of radio buttons laid out in columns; exactly one is chosen once
// an item has been set.
class RadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    RadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);

    // The chosen item's position; -1 when none is chosen.
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;
    // Emits idClicked(position) when the user clicks an item.
    QButtonGroup* Buttons() const { return buttons_; }

  private:
    QButtonGroup* buttons_ = nullptr;
};

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
