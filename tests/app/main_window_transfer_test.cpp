// Receive and Send from the main window, end to end: the settings dialog, the KVR
// transfer dialog and the real port against the simulated instrument on a
// pseudo-terminal.
#include "SimulatedInstrument.h"
#include "app/ui/MainWindow.h"
#include "base/FileIO.h"
#include "base/IniFile.h"
#include "job/RecordLine.h"
#include "job/RecordTable.h"
#include "rawconv/RawRecords.h"
#include "tests/support/KvrBytes.h"
#include "tests/support/MainWindowFixture.h"
#include "tests/support/ScriptedPrompts.h"
#include "transfer/ui/KvrTransferDialog.h"
#include "transfer/ui/SettingsDialog.h"
#include "transfer/ui/TextTransferDialog.h"

#include "app/ui/TextLinesView.h"
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <future>
#include <thread>

using stadix::test::CoordBlockBytes;
using stadix::test::Pty;
using stadix::test::SimulatedInstrument;

class MainWindowTransferTest : public QObject {
    Q_OBJECT

  private:
    QTemporaryDir dir;
    std::unique_ptr<Pty> pty;
    std::unique_ptr<SimulatedInstrument> instrument;
    ScriptedPrompts* prompts = nullptr;
    std::unique_ptr<MainWindow> window;
    std::atomic<bool> transferShown{false};
    QTimer dialogWatch;
    // A port the settings dialog's list is to offer and the user picks.
    QString pickPort;
    // The settings dialog is left with Escape (a transfer dialog, with Cancel).
    bool backOut = false;
    // What the transfer dialog said when it was closed after the transfer.
    QString summary;

    void CloseSummary(QPushButton* button, QLabel* status) {
        if (button->text() != "Close")
            return;
        summary = status->text();
        button->click();
    }

    // Answers the settings dialog with OK, as it stands or with the port picked, and
    // notes when the transfer dialog is up so that the instrument can start.
    void WatchDialogs() {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* settings = qobject_cast<SettingsDialog*>(modal)) {
            if (backOut) {
                QTest::keyClick(settings, Qt::Key_Escape);
                return;
            }
            if (!pickPort.isEmpty()) {
                settings->portList->addItem(pickPort, pickPort);
                settings->portList->setCurrentIndex(settings->portList->count() - 1);
                emit settings->portList->activated(settings->portList->currentIndex());
            }
            settings->accept();
        } else if (auto* transfer = qobject_cast<KvrTransferDialog*>(modal)) {
            transferShown = transfer->Session().Port().Connected();
            if (backOut)
                transfer->reject();
            CloseSummary(transfer->cancelButton, transfer->statusLabel);
        } else if (auto* text = qobject_cast<TextTransferDialog*>(modal)) {
            transferShown = true;
            CloseSummary(text->cancelButton, text->statusLabel);
        }
    }

    void ReceiveAndCancel() {
        QTimer::singleShot(300, [] {
            if (auto* transfer =
                    qobject_cast<KvrTransferDialog*>(QApplication::activeModalWidget()))
                transfer->cancelButton->click();
        });
        window->Receive();
    }

    void AwaitTransferDialog() {
        for (int i = 0; i < 2000 && !transferShown; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

  private slots:
    void init() {
        pty = std::make_unique<Pty>();
        instrument = std::make_unique<SimulatedInstrument>(*pty);
        auto scripted = std::make_unique<ScriptedPrompts>();
        prompts = scripted.get();
        window = std::make_unique<MainWindow>(std::move(scripted));
        const std::string settings = dir.filePath("Commpara").toStdString();
        stadix::WriteFileAtomically(settings, "[ComPort1]\r\nPort=" + pty->DevicePath() +
                                                  "\r\nBaudRate=9600\r\n");
        window->SetSettingsPath(settings);
        transferShown = false;
        pickPort.clear();
        backOut = false;
        summary.clear();
        connect(&dialogWatch, &QTimer::timeout, this, &MainWindowTransferTest::WatchDialogs);
        dialogWatch.start(10);
    }

    void cleanup() {
        dialogWatch.stop();
        dialogWatch.disconnect();
        window.reset();
        instrument.reset();
        pty.reset();
    }

    // The settings cannot be stored: the transfer still runs on the port just chosen, not
    // on the one of the settings file, and the coordinates received fill the table.
    void receivedCoordinatesFillTheTableOnThePortJustChosen() {
        window->SetSettingsPath(dir.filePath("missing/Commpara").toStdString());
        pickPort = QString::fromStdString(pty->DevicePath());
        const std::string p1 = stadix::MakeRecordLine("P1", "", "1234.567", "2345.678", "12.3");
        const std::string p2 = stadix::MakeRecordLine("P2", "", "-1.5", "2", "3");
        auto script = std::async(std::launch::async, [&] {
            AwaitTransferDialog();
            const std::string first = instrument->Offer(0xAA, CoordBlockBytes(p1));
            const std::string second = instrument->Offer(0xAA, CoordBlockBytes(p2));
            instrument->SendEnd();
            return first + second;
        });
        // On another port the transfer would wait for ever.
        QTimer::singleShot(8000, window.get(), [] {
            if (auto* transfer =
                    qobject_cast<KvrTransferDialog*>(QApplication::activeModalWidget()))
                transfer->cancelButton->click();
        });
        window->Receive();
        QCOMPARE(script.get(), std::string("\xBB\x00\xBB\x00", 4));
        QCOMPARE(prompts->Kinds(), QStringList{"tell"});
        QVERIFY(prompts->shown[0].text.contains("They are used for this transfer only."));
        QVERIFY(window->CurrentJob().InCoordinateView() && !window->SendMode() &&
                window->CurrentJob().modified);
        QCOMPARE(window->CurrentJob().lines, (std::vector<std::string>{p1, p2}));
        QCOMPARE(window->Table().Cell(2, stadix::ColPt), std::string("P2"));
        QCOMPARE(window->TotalPanel()->text(), QString("2 points"));
        QCOMPARE(ShownTitle(*window), QString("Job1*--TS Coord. data file"));
        QCOMPARE(summary, QString("2 records received."));
    }

    // With "Keep a line log" on, a transfer leaves a log named by its time beside the
    // settings file, holding what the instrument sent.
    void aLineLogIsKeptBesideTheSettingsFileWhenAsked() {
        stadix::WriteSettingValue(dir.filePath("Commpara").toStdString(), stadix::kLineLogSection,
                                  stadix::kLineLogKey, 1);
        auto script = std::async(std::launch::async, [&] {
            AwaitTransferDialog();
            instrument->Offer(0xAA,
                              CoordBlockBytes(stadix::MakeRecordLine("P2", "", "-1.5", "2", "3")));
            instrument->SendEnd();
        });
        window->Receive();
        script.get();
        const QStringList logs = QDir(dir.path()).entryList({"LineLog-*.log"});
        QCOMPARE(logs.size(), 1);
        // What the log holds and how it is named are the port's and the settings' tests.
        QVERIFY(QFileInfo(QDir(dir.path()).filePath(logs[0])).size() > 0);
        QFile::remove(QDir(dir.path()).filePath(logs[0]));
    }

    void receivedMeasurementsShowAsAChangedListing() {
        std::string inst(stadix::kRawRecordSize, 'M');
        inst[0] = char(stadix::kTypeInst);
        auto script = std::async(std::launch::async, [&] {
            AwaitTransferDialog();
            const std::string answer = instrument->Offer(0xA8, inst);
            instrument->SendEnd();
            return answer;
        });
        window->Receive();
        QCOMPARE(script.get(), std::string("\xBB\x00", 2));
        QVERIFY(!window->CurrentJob().InCoordinateView() && window->CurrentJob().modified);
        QCOMPARE(window->CurrentJob().rawRecords, inst);
        QCOMPARE(ShownTitle(*window), QString("Job1*--TS Meas. Data File"));
        QVERIFY(window->measurementText->toPlainText().startsWith("INST"));
        QVERIFY(window->StatusLineShown());

        // Closing now asks whether to save.
        prompts->answers.push_back(QMessageBox::Cancel);
        QVERIFY(!window->close());
        QCOMPARE(prompts->shown.last().kind, QString("ask"));

        // Receive asks too; a No loses nothing while nothing has arrived.
        prompts->answers.push_back(QMessageBox::No);
        ReceiveAndCancel();
        QCOMPARE(prompts->shown.last().kind, QString("ask"));
        QVERIFY(!window->CurrentJob().InCoordinateView() && window->CurrentJob().modified);
        QCOMPARE(window->CurrentJob().rawRecords, inst);
    }

    void sendOffersTheGatheredRecords() {
        const std::string p1 = stadix::MakeRecordLine("P1", "", "1234.567", "2345.678", "12.3");
        const std::string p2 = stadix::MakeRecordLine("P2", "", "-1.5", "2", "3");
        stadix::FillTable(window->Table(), {p1, "", p2});
        auto script = std::async(std::launch::async, [&] {
            AwaitTransferDialog();
            const auto first = instrument->Request(0xBB);
            const auto second = instrument->Request(0xBB);
            return std::make_pair(first, second);
        });
        window->Send();
        const auto [first, second] = script.get();
        QCOMPARE(first.block, CoordBlockBytes(p1));
        QCOMPARE(second.block, CoordBlockBytes(p2));
        QCOMPARE(second.replies, std::string("\x00\xEE", 2));
        QVERIFY(window->SendMode());
        QCOMPARE(summary, QString("2 records sent."));
    }

    // They replace the job opened before.
    void receivedSssCoordinatesAreConverted() {
        stadix::WriteFileAtomically(dir.filePath("old.JCD").toStdString(),
                                    stadix::MakeRecordLine("OLD", "", "1", "2", "3"));
        prompts->files.push_back(FileChoice{dir.filePath("old.JCD"), 1});
        window->FileOpen();
        stadix::WriteFileAtomically(dir.filePath("Commpara").toStdString(),
                                    "[ComPort1]\r\nPort=" + pty->DevicePath() +
                                        "\r\n[DataFormatSetting]\r\nDataFormat=2\r\n");
        auto script = std::async(std::launch::async, [&] {
            AwaitTransferDialog();
            std::this_thread::sleep_for(std::chrono::milliseconds(200));
            pty->Write("P1,200,100,5,TREE\r\nEND\r\n");
            std::string seen = pty->Read(2);
            pty->Write("\x04\r\n");
            seen += pty->Read(3);
            return seen;
        });
        window->Receive();
        QVERIFY(!script.get().empty() && window->CurrentJob().InCoordinateView());
        QCOMPARE(window->CurrentJob().lines,
                 std::vector<std::string>{stadix::MakeRecordLine("P1", "TREE", "100", "200", "5")});
        QCOMPARE(ShownTitle(*window), QString("Job2*--TS Coord. data file"));
        QCOMPARE(summary, QString("2 records received."));
    }

    // The file opened stays: view, title, flag and text.
    void aReceptionCancelledBeforeAnythingArrivedChangesNothing() {
        stadix::WriteFileAtomically(dir.filePath("m.TXT").toStdString(), "listing\r\n");
        prompts->files.push_back(FileChoice{dir.filePath("m.TXT"), 4});
        window->FileOpen();
        ReceiveAndCancel();
        QVERIFY(!window->CurrentJob().InCoordinateView() && !window->CurrentJob().modified);
        QCOMPARE(ShownTitle(*window), QString("m.TXT"));
        QCOMPARE(window->measurementText->toPlainText(), QString("listing"));
    }

    // Escape in the settings dialog ends the command: no port opens, and the settings
    // file and the window's settings stay as they were.
    void escapeInTheSettingsDialogEndsTheCommand() {
        backOut = true;
        stadix::FillTable(window->Table(), {stadix::MakeRecordLine("A1", "", "1", "2", "0")});
        window->Send();
        QCOMPARE(pty->Read(1, 300), std::string());
        QVERIFY(!transferShown);
        QCOMPARE(stadix::ReadFileBytes(dir.filePath("Commpara").toStdString()),
                 "[ComPort1]\r\nPort=" + pty->DevicePath() + "\r\nBaudRate=9600\r\n");
        QCOMPARE(window->TransferSettings().port.portName,
                 stadix::TransferSettings().port.portName);
    }

    void sendWithNothingToSendDoesNothing() {
        window->Send();
        QVERIFY(!window->SendMode());
        QVERIFY(!transferShown);
    }
};

QTEST_MAIN(MainWindowTransferTest)
#include "main_window_transfer_test.moc"
