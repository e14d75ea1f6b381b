#pragma once

#include "comport/PortList.h"
#include "transfer/TransferSettings.h"
#include "widgets/RadioGroup.h"

#include <QDialog>
#include <QStringList>

#include <vector>

class Prompts;
class QCheckBox;
class QComboBox;
class QFormLayout;
class QLabel;
class QPushButton;

// The communication settings dialog: shows transfer settings and returns the user's
// choices; it neither stores nor applies them. OK and the close box take the choices,
// once a port is chosen: without one, OK says so and the dialog stays open, and the
// close box rejects it. Cancel and Escape reject it. The port list shows each port's
// description (and all that is known of it as a tip) and follows devices that come and
// go while the dialog is open; a chosen port that is not present shows as such.
class SettingsDialog : public QDialog {
    Q_OBJECT
  public:
    // ports: the machine's serial ports. sendMode: the unit caption says "from".
    SettingsDialog(const stadix::TransferSettings& settings, bool sendMode,
                   const std::vector<stadix::PortDescription>& ports, Prompts& prompts,
                   QWidget* parent = nullptr);

    // The choices; the settings given, changed by what the user did.
    const stadix::TransferSettings& Settings() const { return settings_; }

    // Replaces the port list, sorted by name; the chosen port stays chosen while it is
    // listed.
    void ShowPorts(std::vector<stadix::PortDescription> ports);

    void done(int result) override;

    RadioGroup* formatGroup = nullptr;
    RadioGroup* protocolGroup = nullptr;
    RadioGroup* unitGroup = nullptr;
    QComboBox* portList = nullptr;
    QComboBox* baudList = nullptr;
    QComboBox* characterList = nullptr;
    QComboBox* stopBitsList = nullptr;
    QCheckBox* lineLogBox = nullptr;
    QPushButton* okButton = nullptr;
    QPushButton* cancelButton = nullptr;

  protected:
    void closeEvent(QCloseEvent* event) override;

  private:
    void BuildControls(bool sendMode);
    QComboBox* AddSetting(QFormLayout* rows, const QString& caption, const QStringList& items);
    void ShowSettings(const std::vector<stadix::PortDescription>& ports);
    void ShowChosenPort();
    void WatchPorts();
    void ApplyFormatRule();
    void ApplyPortAndBaud();
    void ApplyChoices();

    stadix::TransferSettings settings_;
    std::vector<stadix::PortDescription> ports_;
    Prompts& prompts_;
};
