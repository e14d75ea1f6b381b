// The settings dialog: its captions, what it shows of the settings given, its enable
// rules and the choices it returns. The rules of the settings themselves and the
// settings file are the core's, tested there.
#include "tests/support/ScriptedPrompts.h"
#include "transfer/ui/SettingsDialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <functional>
#include <memory>

using namespace stadix;

namespace {

// Picks the entry of a list with the keyboard, as the user would.
void Pick(QComboBox* list, const QString& text) {
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < list->count() && list->currentText() != text; ++i)
        QTest::keyClick(list, Qt::Key_Down);
}

void Click(RadioGroup* group, int item) {
    QRadioButton* button = group->Item(item);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

// Ports known by their names alone.
std::vector<PortDescription> Ports(const QStringList& names) {
    std::vector<PortDescription> ports;
    for (const QString& name : names)
        ports.push_back({name.toStdString(), "/dev/" + name.toStdString(), "", "", {}, {}, ""});
    return ports;
}

using Action = std::function<void(SettingsDialog&)>;
const Action kPressOk = [](SettingsDialog& d) { QTest::mouseClick(d.okButton, Qt::LeftButton); };

} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT

  private:
    TransferSettings given;
    ScriptedPrompts prompts;

    std::unique_ptr<SettingsDialog>
    Open(bool sendMode = false,
         const std::vector<PortDescription>& ports = Ports({"COM2", "COM1"})) {
        auto dialog = std::make_unique<SettingsDialog>(given, sendMode, ports, prompts);
        dialog->show();
        return dialog;
    }

    // Presses OK, which takes the choices; the choices.
    static TransferSettings Chosen(SettingsDialog& dialog) {
        kPressOk(dialog);
        if (dialog.isVisible() || dialog.result() != QDialog::Accepted)
            qFatal("closing did not accept the dialog");
        return dialog.Settings();
    }

  private slots:
    void init() {
        given = TransferSettings();
        given.port.portName = "COM1";
        prompts.shown.clear();
    }

    // The protocol and the line settings open up with GTS; port and baud rate change
    // when a list is used; a port the machine does not list shows as not present. OK and
    // the close box take the choices; Cancel and Escape back out.
    void okAndTheCloseBoxTakeTheChoicesCancelAndEscapeBackOut() {
        given.port.portName = "ttyACM3";
        const std::pair<Action, int> closers[] = {
            {kPressOk, QDialog::Accepted},
            {[](SettingsDialog& d) { d.close(); }, QDialog::Accepted},
            {[](SettingsDialog& d) { QTest::mouseClick(d.cancelButton, Qt::LeftButton); },
             QDialog::Rejected},
            {[](SettingsDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); }, QDialog::Rejected}};
        for (const auto& [close, result] : closers) {
            auto d = Open();
            QVERIFY(!d->protocolGroup->isEnabled() && !d->characterList->isEnabled() &&
                    !d->stopBitsList->isEnabled());
            Click(d->formatGroup, 1);
            QVERIFY(d->protocolGroup->isEnabled());
            Click(d->protocolGroup, 1);
            Click(d->unitGroup, 2);
            Pick(d->characterList, "7/Even");
            QTest::mouseClick(d->lineLogBox, Qt::LeftButton, {}, QPoint(6, 11));
            QCOMPARE(d->portList->currentText(), QString("ttyACM3 (not present)"));
            Pick(d->baudList, "1200");
            QCOMPARE(d->Settings().port.portName, std::string("ttyACM3"));
            Pick(d->portList, "COM2");
            close(*d);
            QVERIFY(!d->isVisible());
            QCOMPARE(d->result(), result);
            if (result == QDialog::Rejected)
                continue;
            const TransferSettings& chosen = d->Settings();
            QCOMPARE(chosen.dataFormat, DataFormat::Gts);
            QCOMPARE(chosen.protocol, GtsProtocol::OneWay);
            QCOMPARE(chosen.coordUnit, CoordUnit::UsSurveyFoot);
            QCOMPARE(CharacterFormatOf(chosen.port), CharacterFormat::SevenEven);
            QCOMPARE(chosen.port.portName, std::string("COM2"));
            QCOMPARE(chosen.port.baudRate, BaudRate::Br1200);
            QVERIFY(chosen.keepLineLog);
        }
    }

    // What the dialog shows of the settings given (ports sorted, 9600 for a rate not
    // offered); a GTS protocol is not taken with another format; KVR locks its line.
    void showsTheSettingsGivenAndKvrLocksTheLine() {
        given.dataFormat = DataFormat::Sss;
        given.protocol = GtsProtocol::OneWay;
        given.coordUnit = CoordUnit::InternationalFoot;
        given.port.baudRate = BaudRate::Br115200;
        given.port.stopBits = StopBits::Two;
        given.keepLineLog = true;
        SetCharacterFormat(given.port, CharacterFormat::SevenOdd);
        QCOMPARE(Open(true)->unitGroup->title(), QString("Convert coord.unit from"));
        auto d = Open();
        QCOMPARE(d->windowTitle(), QString("Comm.setting"));
        QCOMPARE(d->unitGroup->title(), QString("Convert coord.unit to"));
        QVERIFY(d->formatGroup->ItemIndex() == 2 && d->protocolGroup->ItemIndex() == 1);
        QVERIFY(!d->portList->isEditable());
        QCOMPARE((QStringList{d->portList->itemText(0), d->portList->currentText(),
                              d->baudList->currentText(), d->characterList->currentText(),
                              d->stopBitsList->currentText()}),
                 (QStringList{"COM1", "COM1", "9600", "7/Odd", "2"}));
        Click(d->formatGroup, 1);
        Click(d->protocolGroup, 0);
        Click(d->formatGroup, 0);
        QVERIFY(!d->protocolGroup->isEnabled() && !d->characterList->isEnabled() &&
                !d->stopBitsList->isEnabled());
        const TransferSettings chosen = Chosen(*d);
        QCOMPARE(chosen.dataFormat, DataFormat::Kvr);
        QCOMPARE(chosen.protocol, GtsProtocol::OneWay);
        QCOMPARE(chosen.coordUnit, CoordUnit::InternationalFoot);
        QCOMPARE(CharacterFormatOf(chosen.port), CharacterFormat::EightNone);
        QCOMPARE(chosen.port.stopBits, StopBits::One);
        QCOMPARE(chosen.port.baudRate, BaudRate::Br115200); // the list was not used
        QVERIFY(chosen.keepLineLog);
    }

    // Each port shows its description, and all that is known of it as a tip; a device
    // plugged in joins the list and the chosen port stays chosen; when the chosen port
    // goes, it stays chosen as not present. Odd bytes keep to one line.
    void portsShowWhatTheyAreAndFollowDevicesThatComeAndGo() {
        given.port.portName = "ttyUSB1";
        const PortDescription adapter{"ttyUSB1", "/dev/ttyUSB1", "FT232R USB UART", "FTDI",
                                      0x0403,    0x6001,         "A50285BI"};
        std::vector<PortDescription> ports = Ports({"ttyS0"});
        ports.push_back(adapter);
        auto d = Open(false, ports);
        QCOMPARE(d->portList->currentText(), QString("ttyUSB1  FT232R USB UART"));
        QCOMPARE(d->portList->itemData(1, Qt::ToolTipRole).toString(),
                 QString("/dev/ttyUSB1\nFT232R USB UART  FTDI  0403:6001  serial A50285BI"));
        ports.push_back({"ttyACM0", "/dev/ttyACM0", "Total\nstation\x01", "", {}, {}, ""});
        d->ShowPorts(ports);
        QCOMPARE(d->portList->count(), 3);
        QCOMPARE(d->portList->itemText(0), QString("ttyACM0  Total?station?"));
        QCOMPARE(d->portList->currentData().toString(), QString("ttyUSB1"));
        Pick(d->portList, "ttyACM0  Total?station?");
        d->ShowPorts(Ports({"ttyS0"}));
        QCOMPARE(d->portList->currentText(), QString("ttyACM0 (not present)"));
        QCOMPARE(Chosen(*d).port.portName, std::string("ttyACM0"));
    }

    // Without a port, OK says so and the dialog stays; the close box rejects it.
    void anEmptyPortIsNotAccepted() {
        given.port.portName.clear();
        auto dialog = Open(false, {});
        QTest::mouseClick(dialog->okButton, Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QCOMPARE(prompts.Kinds(), QStringList{"tell"});
        QVERIFY(prompts.shown[0].text.startsWith("No serial port is chosen."));
        dialog->close();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
