#include "app/FileIO.h"
#include "tests/support/DefaultSettingsFile.h"
#include "tests/support/ScriptedPrompts.h"
#include "transfer/Unit3.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <functional>
#include <memory>

namespace {

// What the main window holds and hands to the dialog.
struct Holder {
    stadix::PortSettings port;
    int coordUnit = 0;
    int dataFormat = 0;
    int gtsAck = 0;

    Holder() { port.portName = "COM1"; }
};

// Picks the entry of a list with the keyboard, as the user would.
void Pick(QComboBox* list, const QString& text) {
    QTest::keyClick(list, Qt::Key_Home);
    for (int i = 0; i < list->count() && list->currentText() != text; ++i)
        QTest::keyClick(list, Qt::Key_Down);
}

void Click(TRadioGroup* group, int item) {
    QRadioButton* button = group->Item(item);
    QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(6, button->height() / 2));
}

} // namespace

class SettingsDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir;
    Holder holder;

    std::string SettingsPath() const { return dir->filePath("Commpara").toStdString(); }
    std::string FileBytes() const { return stadix::ReadFileBytes(SettingsPath()); }
    void WriteFile(const std::string& bytes) const {
        stadix::WriteFileAtomically(SettingsPath(), bytes);
    }

    std::unique_ptr<TForm3> Open(bool sendMode = false,
                                 const QStringList& ports = {"COM2", "COM1"}) {
        auto form = std::make_unique<TForm3>(holder.port, holder.coordUnit, holder.dataFormat,
                                             holder.gtsAck, sendMode, SettingsPath(), ports);
        form->show();
        return form;
    }

    // One whole session: open, let the user act, press OK.
    template <typename Act> void Session(Act act) {
        auto form = Open();
        act(*form);
        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QVERIFY(!form->isVisible());
    }

  private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        holder = Holder();
    }

    void noFileShowsDefaultsAndOkWritesThem() {
        auto form = Open();
        QCOMPARE(form->windowTitle(), QString("Comm.setting"));
        QCOMPARE(form->font().family(), QString("Times New Roman"));
        QCOMPARE(form->RadioGroup2->ItemIndex(), 0);
        QVERIFY(!form->RadioGroup3->isEnabled());
        QCOMPARE(form->RadioGroup3->ItemIndex(), 0);
        QCOMPARE(form->ComboBox1->currentText(), QString("COM1"));
        QCOMPARE(form->ComboBox1->itemText(0), QString("COM1")); // sorted
        QCOMPARE(form->ComboBox2->currentText(), QString("9600"));
        QCOMPARE(form->ComboBox3->currentText(), QString("8/None"));
        QVERIFY(!form->ComboBox3->isEnabled());
        QCOMPARE(form->ComboBox4->currentText(), QString("1"));
        QVERIFY(!form->ComboBox4->isEnabled());
        QCOMPARE(form->RadioGroup1->ItemIndex(), 0);
        for (QComboBox* list :
             {form->ComboBox1, form->ComboBox2, form->ComboBox3, form->ComboBox4}) {
            QVERIFY(!list->isEditable());
            QCOMPARE(list->x(), 95);
        }

        QTest::mouseClick(form->Button1, Qt::LeftButton);
        QCOMPARE(FileBytes(), kDefaultSettingsFile);
    }

    // OK, the close box and Escape all apply and store the same choices.
    void everyWayOfClosingStores() {
        const std::function<void(TForm3&)> closers[] = {
            [](TForm3& f) { QTest::mouseClick(f.Button1, Qt::LeftButton); },
            [](TForm3& f) { f.close(); },
            [](TForm3& f) { QTest::keyClick(&f, Qt::Key_Escape); },
        };
        std::string stored;
        for (const auto& close : closers) {
            init();
            auto form = Open();
            Click(form->RadioGroup2, 1);
            Click(form->RadioGroup3, 1);
            Click(form->RadioGroup1, 2);
            Pick(form->ComboBox4, "2");
            close(*form);
            QVERIFY(!form->isVisible());
            QCOMPARE(holder.dataFormat, 1);
            QCOMPARE(holder.gtsAck, 1);
            QCOMPARE(holder.coordUnit, 2);
            QCOMPARE(holder.port.stopBits, stadix::StopBits::Two);
            if (stored.empty())
                stored = FileBytes();
            QCOMPARE(FileBytes(), stored);
        }
        QVERIFY(stored.find("StopBits=2\r\n") != std::string::npos);
        QVERIFY(stored.find("[CoordUnitSetting]\r\nCoordUnit=2\r\n[DataFormatSetting]\r\n"
                            "DataFormat=1\r\n[GTSACKSetting]\r\nGTSACK=1\r\n") !=
                std::string::npos);
    }

    void savingTwiceKeepsOneSectionOfEachAtTheEnd() {
        const std::string userFormat = "[UserDefFormat1]\r\nDefName=Mine\r\nDefFileExt=txt\r\n"
                                       "DefOrderWord=012341\r\n";
        WriteFile(kDefaultSettingsFile + userFormat);
        Session([](TForm3& f) {
            Click(f.RadioGroup2, 1);
            Click(f.RadioGroup1, 1);
        });
        const std::string once = FileBytes();
        Session([](TForm3&) {});
        QCOMPARE(FileBytes(), once);
        QCOMPARE(once, kDefaultSettingsFile.substr(0, kDefaultSettingsFile.find("[Coord")) +
                           userFormat +
                           "[CoordUnitSetting]\r\nCoordUnit=1\r\n[DataFormatSetting]\r\n"
                           "DataFormat=1\r\n[GTSACKSetting]\r\nGTSACK=0\r\n");
    }

    void kvrForcesEightNoneAndOneStopBit() {
        Session([](TForm3& f) {
            Click(f.RadioGroup2, 2);
            QVERIFY(f.ComboBox3->isEnabled());
            Pick(f.ComboBox3, "7/Odd");
            Pick(f.ComboBox4, "2");
        });
        QCOMPARE(holder.port.dataBits, 7);
        QCOMPARE(holder.port.parity, stadix::Parity::Odd);
        std::string bytes = FileBytes();
        QVERIFY(bytes.find("StopBits=2\r\nDataBits=7\r\nParity=Odd\r\n") != std::string::npos);

        Session([](TForm3& f) {
            QCOMPARE(f.RadioGroup2->ItemIndex(), 2);
            QCOMPARE(f.ComboBox3->currentText(), QString("7/Odd"));
            QCOMPARE(f.ComboBox4->currentText(), QString("2"));
            Click(f.RadioGroup2, 0);
            QCOMPARE(f.ComboBox3->currentText(), QString("8/None"));
            QCOMPARE(f.ComboBox4->currentText(), QString("1"));
            Pick(f.ComboBox3, "7/Even"); // disabled: the keys do nothing
            QCOMPARE(f.ComboBox3->currentText(), QString("8/None"));
        });
        QCOMPARE(holder.port.dataBits, 8);
        QCOMPARE(holder.port.parity, stadix::Parity::None);
        QCOMPARE(holder.port.stopBits, stadix::StopBits::One);
        bytes = FileBytes();
        QVERIFY(bytes.find("StopBits=1\r\nDataBits=8\r\nParity=None\r\n") != std::string::npos);
    }

    void protocolOnlyWithGtsAndKeptOtherwise() {
        WriteFile("[DataFormatSetting]\r\nDataFormat=1\r\n[GTSACKSetting]\r\nGTSACK=1\r\n");
        Session([](TForm3& f) {
            QCOMPARE(f.RadioGroup2->ItemIndex(), 1);
            QVERIFY(f.RadioGroup3->isEnabled());
            QCOMPARE(f.RadioGroup3->ItemIndex(), 1);
            Click(f.RadioGroup2, 2);
            QVERIFY(!f.RadioGroup3->isEnabled());
            Click(f.RadioGroup2, 0);
            QVERIFY(!f.RadioGroup3->isEnabled());
            Click(f.RadioGroup3, 0); // disabled: stays "One way"
            QCOMPARE(f.RadioGroup3->ItemIndex(), 1);
        });
        QCOMPARE(holder.dataFormat, 0);
        QCOMPARE(holder.gtsAck, 1);
        QVERIFY(FileBytes().find("[GTSACKSetting]\r\nGTSACK=1\r\n") != std::string::npos);
    }

    void oddFilesReadGently() {
        // The key two lines below its section, two digits, a letter, digits beyond the
        // items, unknown port words and 7 data bits with mark parity.
        WriteFile("[ComPort1]\r\nBaudRate=fast\r\nDataBits=7\r\nParity=Mark\r\n"
                  "StopBits=3\r\n[CoordUnitSetting]\r\n\r\nCoordUnit=2\r\n"
                  "[DataFormatSetting]\r\nDataFormat=21\r\n[GTSACKSetting]\r\nGTSACK=x\r\n");
        holder.port.portName = "ttyUSB0";
        holder.port.baudRate = stadix::BaudRate::Br4800;
        holder.coordUnit = 2;
        auto form = Open();
        QCOMPARE(holder.coordUnit, 0);
        QCOMPARE(holder.dataFormat, 2);
        QCOMPARE(holder.gtsAck, 0);
        QCOMPARE(holder.port.portName, std::string("ttyUSB0")); // no Port key
        QCOMPARE(holder.port.baudRate, stadix::BaudRate::Br9600);
        QCOMPARE(form->RadioGroup2->ItemIndex(), 2);
        QCOMPARE(form->ComboBox1->currentIndex(), -1);
        QCOMPARE(form->ComboBox3->currentIndex(), -1);
        QCOMPARE(form->ComboBox4->currentText(), QString("1"));
        form.reset();

        WriteFile("[CoordUnitSetting]\r\nCoordUnit=7\r\n[DataFormatSetting]\r\nDataFormat=5\r\n");
        Session([](TForm3& f) {
            QCOMPARE(f.RadioGroup1->ItemIndex(), 0);
            QCOMPARE(f.RadioGroup2->ItemIndex(), 0);
        });
        QCOMPARE(holder.dataFormat, 0);
        QVERIFY(FileBytes().find("DataFormat=0\r\n") != std::string::npos);
    }

    void unitCaptionFollowsDirection() {
        QCOMPARE(Open(false)->RadioGroup1->title(), QString("Convert coord.unit to"));
        QCOMPARE(Open(true)->RadioGroup1->title(), QString("Convert coord.unit from"));
    }

    void listChangesApplyPortAndBaudAtOnce() {
        holder.port.baudRate = stadix::BaudRate::Br115200;
        Session([](TForm3& f) {
            QCOMPARE(f.ComboBox2->currentText(), QString("9600"));
            Click(f.RadioGroup2, 1); // the format rule is no list change
        });
        QCOMPARE(holder.port.baudRate, stadix::BaudRate::Br115200);
        QVERIFY(FileBytes().find("BaudRate=115200\r\n") != std::string::npos);

        auto form = Open();
        Pick(form->ComboBox4, "2");
        QCOMPARE(holder.port.baudRate, stadix::BaudRate::Br9600);
        Pick(form->ComboBox1, "COM2");
        QCOMPARE(holder.port.portName, std::string("COM2"));
        Pick(form->ComboBox2, "38400");
        QCOMPARE(holder.port.baudRate, stadix::BaudRate::Br38400);
        form.reset();

        // A port that the machine does not list keeps its name.
        holder.port.portName = "ttyACM3";
        WriteFile("");
        form = Open();
        QCOMPARE(form->ComboBox1->currentIndex(), -1);
        Pick(form->ComboBox2, "1200");
        QCOMPARE(holder.port.portName, std::string("ttyACM3"));
        QCOMPARE(holder.port.baudRate, stadix::BaudRate::Br1200);
    }

    void unwritableFileIsReportedAndChoicesKept() {
        const std::string path = dir->filePath("missing/Commpara").toStdString();
        ScriptedPrompts prompts;
        TForm3 form(holder.port, holder.coordUnit, holder.dataFormat, holder.gtsAck, false, path,
                    {"COM1"});
        form.SetPrompts(&prompts);
        form.show();
        Click(form.RadioGroup2, 1);
        Click(form.RadioGroup1, 1);
        QTest::mouseClick(form.Button1, Qt::LeftButton);
        QVERIFY(!form.isVisible());
        QCOMPARE(prompts.Kinds(), QStringList{"tell"});
        QCOMPARE(prompts.shown[0].caption, QString("Warning"));
        QVERIFY(prompts.shown[0].text.contains("could not be saved"));
        QCOMPARE(holder.dataFormat, 1);
        QCOMPARE(holder.coordUnit, 1);
    }
};

QTEST_MAIN(SettingsDialogTest)
#include "settings_dialog_test.moc"
