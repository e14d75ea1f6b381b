// The GTS/SSS transfer dialog with the real port against the simulated instrument on a
// pseudo-terminal: what only the dialog does (captions, closing by itself through
// Cancel, the warnings of an open failure and a hang-up). The protocol and the refusals are the
// session's, tested through stadix-cli.
#include "SimulatedTextInstrument.h"
#include "app/RecordLine.h"
#include "tests/support/ScriptedPrompts.h"
#include "transfer/Codecs.h"
#include "transfer/ui/TextTransferDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <thread>

using namespace stadix;
using test::SimulatedTextInstrument;
using test::TextFault;

namespace {

// The instrument plays its script on its own thread once the dialog's loop runs.
struct Station {
    void StartWhenShown(std::function<void(SimulatedTextInstrument&)> script) {
        QTimer::singleShot(100,
                           [this, script] { thread = std::thread(script, std::ref(instrument)); });
    }
    ~Station() {
        if (thread.joinable())
            thread.join();
    }

    test::Pty pty;
    SimulatedTextInstrument instrument{pty};
    std::thread thread;
};

TransferSettings Settings(const std::string& port, DataFormat format) {
    TransferSettings settings;
    settings.port.portName = port;
    settings.dataFormat = format;
    return settings;
}

} // namespace

class TextTransferDialogTest : public QObject {
    Q_OBJECT

    ScriptedPrompts prompts;
    Job job;

  private slots:
    void init() {
        prompts.shown.clear();
        job = Job();
    }

    void captionsFollowFormatAndDirection() {
        TextTransferDialog gts(job, Settings("x", DataFormat::Gts), false, prompts);
        QCOMPARE(gts.windowTitle(), QString("Data Communication(GTS format)"));
        QCOMPARE(gts.counterLabel->text(), QString("Record blocks received:"));
        QCOMPARE(gts.statusLabel->text(),
                 QString("Receiving data from total station.Please wait..."));
        TextTransferDialog sss(job, Settings("x", DataFormat::Sss), false, prompts);
        QCOMPARE(sss.windowTitle(), QString("Data Communication(SSS format)"));
        QCOMPARE(sss.counterLabel->text(), QString("Records received:"));
        TextTransferDialog send(job, Settings("x", DataFormat::Sss), true, prompts);
        QCOMPARE(send.counterLabel->text(), QString("Records transferred:"));
        QCOMPARE(send.cancelButton->text(), QString("Cancel"));
    }

    // An open failure and a send of measurement data are refused with a warning.
    void refusalsWarnAndLeaveTheJob() {
        job.lines = {"old line"};
        TextTransferDialog receive(job, Settings("/dev/no-such-port", DataFormat::Gts), false,
                                   prompts);
        QCOMPARE(receive.exec(), int(QDialog::Rejected));
        test::Pty pty;
        job.content = JobContent::Listing;
        TextTransferDialog send(job, Settings(pty.DevicePath(), DataFormat::Sss), true, prompts);
        QCOMPARE(send.exec(), int(QDialog::Rejected));
        QCOMPARE(prompts.Kinds(), (QStringList{"tell", "tell"}));
        QCOMPARE(prompts.shown[0].caption, QString("Warning"));
        QVERIFY(prompts.shown[0].text.startsWith(
            "Unable to open /dev/no-such-port. Maybe /dev/no-such-port occupied.\n"));
        QCOMPARE(prompts.shown[1].text,
                 QString("Measurement data cannot be sent in the GTS or SSS format."));
        QCOMPARE(job.lines, std::vector<std::string>{"old line"});
        QCOMPARE(pty.Read(1, 200), std::string());
    }

    // The end of transmission closes the dialog by itself; the port is free again.
    void anSssReceptionEndsByItselfAndFreesThePort() {
        Station station;
        station.StartWhenShown([](SimulatedTextInstrument& instrument) {
            instrument.SendSssLine("STN     P1,1.5,");
            instrument.SendEndOfTransmission();
        });
        TextTransferDialog dialog(job, Settings(station.pty.DevicePath(), DataFormat::Sss), false,
                                  prompts);
        QTimer::singleShot(10000, &dialog, [&dialog] { dialog.done(QDialog::Accepted); });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(job.lines, std::vector<std::string>{"STN     P1,1.5,"});
        QCOMPARE(job.content, JobContent::Text);
        QVERIFY(!dialog.Session().Port().Connected());
        QVERIFY(prompts.shown.isEmpty());
    }

    // A hang-up ends the reception with a warning in plain words; the accepted blocks stay.
    void aHangUpWarnsAndKeepsTheAcceptedBlocks() {
        const std::vector<std::string> pieces = SimulatedTextInstrument::GtsPieces(
            EncodeGtsCoordLine(MakeRecordLine("P1", "", "1", "2", "3"), CoordUnit::Metre) +
            std::string(200, ' '));
        Station station;
        station.StartWhenShown([&](SimulatedTextInstrument& instrument) {
            if (!instrument.AwaitEnq())
                return;
            instrument.SendGtsBlock(pieces[0], 0);
            instrument.SendGtsBlock(pieces[1], 1, TextFault::HangUp);
        });
        TextTransferDialog dialog(job, Settings(station.pty.DevicePath(), DataFormat::Gts), false,
                                  prompts);
        dialog.exec();
        QCOMPARE(job.lines.size(), std::size_t(1));
        QVERIFY(!dialog.Session().Port().Connected());
        QCOMPARE(prompts.Kinds(), QStringList{"tell"});
        QVERIFY2(prompts.shown[0].text.endsWith("the line was hung up") &&
                     !prompts.shown[0].text.contains("win error code"),
                 qPrintable(prompts.shown[0].text));
    }
};

QTEST_MAIN(TextTransferDialogTest)
#include "text_transfer_dialog_test.moc"
