// The settings dialog: what it shows of the settings given, its enable rules, and the
// choices it returns. Loading and storing the settings file is the core's, tested there.
#include "tests/support/ScriptedPrompts.h"
#include "transfer/ui/SettingsDialog.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

#include <functional>
#include <memory>

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

} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT

  private:
    stadix::TransferSettings given;
    ScriptedPrompts prompts;

    std::unique_ptr<SettingsDialog> Open(bool sendMode = false,
                                         const QStringList& ports = {"COM2", "COM1"}) {
        auto dialog = std::make_unique<SettingsDialog>(given, sendMode, ports, prompts);
        dialog->show();
        return dialog;
    }

    // One whole session: open, let the user act, press OK; the choices.
    template <typename Act> stadix::TransferSettings Session(Act act) {
        auto dialog = Open();
        act(*dialog);
        QTest::mouseClick(dialog->okButton, Qt::LeftButton);
        if (dialog->isVisible() || dialog->result() != QDialog::Accepted)
            qFatal("OK did not close the dialog");
        return dialog->Settings();
    }

  private slots:
    void init() {
        given = stadix::TransferSettings();
        given.port.portName = "COM1";
        prompts.shown.clear();
    }

    // OK, the close box and Escape all take the same choices.
    void showsTheSettingsAndEveryWayOfClosingTakesTheChoices() {
        const std::function<void(SettingsDialog&)> closers[] = {
            [](SettingsDialog& d) { QTest::mouseClick(d.okButton, Qt::LeftButton); },
            [](SettingsDialog& d) { d.close(); },
            [](SettingsDialog& d) { QTest::keyClick(&d, Qt::Key_Escape); },
        };
        for (const auto& close : closers) {
            auto dialog = Open();
            QCOMPARE(dialog->windowTitle(), QString("Comm.setting"));
            QCOMPARE(dialog->formatGroup->ItemIndex(), 0);
            QVERIFY(!dialog->protocolGroup->isEnabled());
            QCOMPARE(dialog->portList->itemText(0), QString("COM1")); // sorted
            QCOMPARE(dialog->portList->currentText(), QString("COM1"));
            QCOMPARE(dialog->baudList->currentText(), QString("9600"));
            QCOMPARE(dialog->characterList->currentText(), QString("8/None"));
            QVERIFY(!dialog->characterList->isEnabled() && !dialog->stopBitsList->isEnabled());
            QVERIFY(!dialog->portList->isEditable());
            Click(dialog->formatGroup, 1);
            QVERIFY(dialog->protocolGroup->isEnabled());
            Click(dialog->protocolGroup, 1);
            Click(dialog->unitGroup, 2);
            Pick(dialog->stopBitsList, "2");
            close(*dialog);
            QVERIFY(!dialog->isVisible());
            QCOMPARE(dialog->result(), int(QDialog::Accepted));
            const stadix::TransferSettings chosen = dialog->Settings();
            QCOMPARE(chosen.dataFormat, stadix::DataFormat::Gts);
            QCOMPARE(chosen.protocol, stadix::GtsProtocol::OneWay);
            QCOMPARE(chosen.coordUnit, stadix::CoordUnit::UsSurveyFoot);
            QCOMPARE(chosen.port.stopBits, stadix::StopBits::Two);
        }
    }

    void kvrForcesEightNoneAndOneStopBit() {
        given.dataFormat = stadix::DataFormat::Sss;
        given.port.dataBits = 7;
        given.port.parity = stadix::Parity::Odd;
        given.port.stopBits = stadix::StopBits::Two;
        const stadix::TransferSettings chosen = Session([](SettingsDialog& d) {
            QCOMPARE(d.characterList->currentText(), QString("7/Odd"));
            QCOMPARE(d.stopBitsList->currentText(), QString("2"));
            Click(d.formatGroup, 0);
            QCOMPARE(d.characterList->currentText(), QString("8/None"));
            QCOMPARE(d.stopBitsList->currentText(), QString("1"));
            Pick(d.characterList, "7/Even"); // disabled: the keys do nothing
            QCOMPARE(d.characterList->currentText(), QString("8/None"));
        });
        QCOMPARE(chosen.port.dataBits, 8);
        QCOMPARE(chosen.port.parity, stadix::Parity::None);
        QCOMPARE(chosen.port.stopBits, stadix::StopBits::One);
    }

    // The protocol belongs to GTS: chosen elsewhere, the last GTS choice is kept.
    void protocolOnlyWithGts() {
        given.dataFormat = stadix::DataFormat::Gts;
        given.protocol = stadix::GtsProtocol::OneWay;
        const stadix::TransferSettings chosen = Session([](SettingsDialog& d) {
            QCOMPARE(d.protocolGroup->ItemIndex(), 1);
            Click(d.formatGroup, 2);
            QVERIFY(!d.protocolGroup->isEnabled());
            Click(d.protocolGroup, 0); // disabled: stays "One way"
        });
        QCOMPARE(chosen.dataFormat, stadix::DataFormat::Sss);
        QCOMPARE(chosen.protocol, stadix::GtsProtocol::OneWay);
    }

    void unitCaptionFollowsDirection() {
        QCOMPARE(Open(false)->unitGroup->title(), QString("Convert coord.unit to"));
        QCOMPARE(Open(true)->unitGroup->title(), QString("Convert coord.unit from"));
    }

    // Port and baud rate change when a list is used, not otherwise.
    void listChangesApplyPortAndBaud() {
        given.port.baudRate = stadix::BaudRate::Br115200;
        QCOMPARE(Session([](SettingsDialog& d) {
                     QCOMPARE(d.baudList->currentText(), QString("9600"));
                 }).port.baudRate,
                 stadix::BaudRate::Br115200);
        const stadix::TransferSettings picked = Session([](SettingsDialog& d) {
            Pick(d.portList, "COM2");
            Pick(d.baudList, "38400");
        });
        QCOMPARE(picked.port.portName, std::string("COM2"));
        QCOMPARE(picked.port.baudRate, stadix::BaudRate::Br38400);
        // A port that the machine does not list keeps its name.
        given.port.portName = "ttyACM3";
        QCOMPARE(Session([](SettingsDialog& d) {
                     QCOMPARE(d.portList->currentIndex(), -1);
                     Pick(d.baudList, "1200");
                 }).port.portName,
                 std::string("ttyACM3"));
    }

    // Without a port, OK says so and the dialog stays; closing it otherwise rejects it.
    void anEmptyPortIsNotAccepted() {
        given.port.portName.clear();
        auto dialog = Open(false, {});
        QTest::mouseClick(dialog->okButton, Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QCOMPARE(prompts.Kinds(), QStringList{"tell"});
        QVERIFY(prompts.shown[0].text.startsWith("No serial port is chosen."));
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
