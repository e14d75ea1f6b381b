// Receive and Send from the main window, end to end: the settings dialog, the KVR
// transfer dialog and the real port against the simulated instrument on a
// pseudo-terminal.
#include "SimulatedInstrument.h"
#include "app/ui/MainWindow.h"
#include "app/ui/TextLinesView.h"
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

#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>

#include <atomic>
#include <future>
#include <thread>

using stadix::test::CoordBlockBytes;
using stadix::test::Pty;
using stadix::test::SimulatedInstrument;

class MainWindowTransferTest : public MainWindowFixture {
    Q_OBJECT

  private:
    std::unique_ptr<Pty> pty;
    std::unique_ptr<SimulatedInstrument> instrument;
    std::atomic<bool> transferShown{false};
    QTimer dialogWatch;
    // A port the settings dialog's list is to offer and the user picks.
    QString pickPort;
    // The settings dialog is left with Escape (a transfer dialog, with Cancel).
    bool backOut = false;
    // What the transfer dialog said when it was closed after the transfer.
    QString summary;
    // A transfer that outlasts the deadline is broken off and fails the test, rather
    // than waiting for ever on a frame that went wrong.
    static constexpr int kDeadlineMs = 10000;
    QElapsedTimer clock;
    bool overran = false;

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
        if (clock.elapsed() > kDeadlineMs) {
            overran = true;
            if (auto* dialog = qobject_cast<QDialog*>(modal))
                dialog->reject();
        } else if (auto* settings = qobject_cast<SettingsDialog*>(modal)) {
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

    void AwaitTransferDialog() {
        for (int i = 0; i < 2000 && !transferShown; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }

  private slots:
    void init() {
        pty = std::make_unique<Pty>();
        instrument = std::make_unique<SimulatedInstrument>(*pty);
        MakeWindow();
        Write("Commpara", "[ComPort1]\r\nPort=" + pty->DevicePath() + "\r\nBaudRate=9600\r\n");
        window->SetSettingsPath(Path("Commpara").toStdString());
        transferShown = false;
        pickPort.clear();
        backOut = false;
        summary.clear();
        overran = false;
        clock.start();
        connect(&dialogWatch, &QTimer::timeout, this, &MainWindowTransferTest::WatchDialogs);
        dialogWatch.start(10);
    }

    void cleanup() {
        dialogWatch.stop();
        dialogWatch.disconnect();
        window.reset();
        instrument.reset();
        pty.reset();
        QVERIFY2(!overran, "the transfer did not end in time");
    }

    // The settings cannot be stored: the transfer still runs on the port just chosen, not
    // on the one of the settings file, and the coordinates received fill the table.
    void receivedCoordinatesFillTheTableOnThePortJustChosen() {
        window->SetSettingsPath(Path("missing/Commpara").toStdString());
        pickPort = QString::fromStdString(pty->DevicePath());
        const std::string p1 = Line("P1", "1234.567", "2345.678", "12.3");
        const std::string p2 = Line("P2", "-1.5", "2", "3");
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

        // Receive asks whether to save; a No loses nothing while nothing has arrived.
        prompts->answers.push_back(QMessageBox::No);
        QTimer::singleShot(300, [] {
            if (auto* transfer =
                    qobject_cast<KvrTransferDialog*>(QApplication::activeModalWidget()))
                transfer->cancelButton->click();
        });
        window->Receive();
        QCOMPARE(prompts->shown.last().kind, QString("ask"));
        QVERIFY(!window->CurrentJob().InCoordinateView() && window->CurrentJob().modified);
        QCOMPARE(window->CurrentJob().rawRecords, inst);
    }

    void sendOffersTheGatheredRecords() {
        const std::string p1 = Line("P1", "1234.567", "2345.678", "12.3");
        const std::string p2 = Line("P2", "-1.5", "2", "3");
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
        Write("old.JCD", Line("OLD", "1", "2", "3"));
        Open("old.JCD");
        Write("Commpara", "[ComPort1]\r\nPort=" + pty->DevicePath() +
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
                 std::vector<std::string>{Line("P1", "100", "200", "5", "TREE")});
        QCOMPARE(ShownTitle(*window), QString("Job2*--TS Coord. data file"));
        QCOMPARE(summary, QString("2 records received."));
    }

    // Escape in the settings dialog ends the command: no port opens, and the settings
    // file and the window's settings stay as they were. Nothing to send: no dialog.
    void escapeInTheSettingsDialogOrNothingToSendEndsTheCommand() {
        window->Send();
        QVERIFY(!window->SendMode() && !transferShown);
        backOut = true;
        stadix::FillTable(window->Table(), {Line("A1", "1", "2")});
        window->Send();
        QCOMPARE(pty->Read(1, 300), std::string());
        QVERIFY(!transferShown);
        QCOMPARE(FileBytes(Path("Commpara")),
                 "[ComPort1]\r\nPort=" + pty->DevicePath() + "\r\nBaudRate=9600\r\n");
        QCOMPARE(window->TransferSettings().port.portName,
                 stadix::TransferSettings().port.portName);
    }
};

QTEST_MAIN(MainWindowTransferTest)
#include "main_window_transfer_test.moc"
