#pragma once

#include "comport/PortSettings.h"

#include <QDialog>
#include <QGroupBox>
#include <QStringList>

#include <string>

class Prompts;
class QButtonGroup;
class QComboBox;
class QLabel;
class QPushButton;
class QRadioButton;

// A captioned group of radio buttons laid out in columns; exactly one is chosen once
// an item has been set.
class TRadioGroup : public QGroupBox {
    Q_OBJECT
  public:
    TRadioGroup(const QString& caption, const QStringList& items, int columns, QWidget* parent);

    // The chosen item's position; -1 when none is chosen.
    int ItemIndex() const;
    void SetItemIndex(int index);
    QRadioButton* Item(int index) const;
    int Count() const;
    // Emits idClicked(position) when the user clicks an item.
    QButtonGroup* Buttons() const { return buttons_; }

  private:
    QButtonGroup* buttons_ = nullptr;
};

// Communication settings dialog.
class TForm3 : public QDialog {
    Q_OBJECT
  public:
    // Edits the caller's port settings and the three transfer settings. Opening loads
    // them from the settings file at settingsPath; closing, by OK or any other way,
    // applies the choices and stores them there. portNames: the machine's serial ports.
    TForm3(stadix::PortSettings& port, int& coordUnit, int& dataFormat, int& gtsAck, bool sendMode,
           std::string settingsPath, QStringList portNames, QWidget* parent = nullptr);

    // Where a failure to store the settings is reported (a message box when null).
    void SetPrompts(Prompts* prompts) { prompts_ = prompts; }

    // Applies and stores the settings, then closes.
    void done(int result) override;

    // Controls, named as on the window.
    TRadioGroup* RadioGroup1 = nullptr; // coordinate unit
    TRadioGroup* RadioGroup2 = nullptr; // data format
    TRadioGroup* RadioGroup3 = nullptr; // GTS protocol
    QGroupBox* GroupBox1 = nullptr;
    QLabel* Label1 = nullptr;
    QLabel* Label2 = nullptr;
    QLabel* Label3 = nullptr;
    QLabel* Label4 = nullptr;
    QComboBox* ComboBox1 = nullptr; // port
    QComboBox* ComboBox2 = nullptr; // baud rate
    QComboBox* ComboBox3 = nullptr; // data bits and parity
    QComboBox* ComboBox4 = nullptr; // stop bits
    QPushButton* Button1 = nullptr;

  private:
    void BuildControls();
    QComboBox* AddSetting(int row, QLabel*& label, const QString& caption,
                          const QStringList& items);
    void LoadSettings();
    void ShowPortSettings(const QStringList& portNames);
    void ShowTransferSettings();
    void ApplyFormatRule();
    void ApplyPortAndBaud();
    void ApplyChoices();
    void StoreSettings();
    void ReportStoreFailure(const QString& reason);

    stadix::PortSettings& ComPort1_;
    int& CoordUnit_;
    int& DataFormat_;
    int& GtsAck_;
    const bool SendMode_;
    const std::string SettingsPath_;
    Prompts* prompts_ = nullptr;
};
