// The GTS/SSS transfer dialog with the real port against the simulated instrument on a
// pseudo-terminal: what only the dialog does (captions, closing by itself, Cancel, the
// warnings of a refusal, an open failure and a hang-up). The protocol itself is the
// engine's, tested there, and end to end through stadix-cli.
#include "SimulatedTextInstrument.h"
#include "app/RecordLine.h"
#include "tests/support/QtWait.h"
#include "tests/support/ScriptedPrompts.h"
#include "transfer/Codecs.h"
#include "transfer/ui/TextTransferDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <thread>

using stadix::test::SimulatedTextInstrument;
using stadix::test::TextFault;

namespace {

// The instrument plays its script on its own thread once the dialog's loop runs.
class Station {
  public:
    using Script = std::function<void(SimulatedTextInstrument&)>;

    void StartWhenShown(Script script) {
        QTimer::singleShot(
            100, [this, script] { thread_ = std::thread([this, script] { script(instrument); }); });
    }
    ~Station() {
        if (thread_.joinable())
            thread_.join();
    }

    stadix::test::Pty pty;
    SimulatedTextInstrument instrument{pty};

  private:
    std::thread thread_;
};

stadix::TransferSettings Settings(const std::string& port, stadix::DataFormat format) {
    stadix::TransferSettings settings;
    settings.port.portName = port;
    settings.dataFormat = format;
    return settings;
}

} // namespace

class TextTransferDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void captionsFollowFormatAndDirection() {
        ScriptedPrompts prompts;
        stadix::Job job;
        TextTransferDialog gts(job, Settings("x", stadix::DataFormat::Gts), false, prompts);
        QCOMPARE(gts.windowTitle(), QString("Data Communication(GTS format)"));
        QCOMPARE(gts.counterLabel->text(), QString("Record blocks received:"));
        QCOMPARE(gts.statusLabel->text(),
                 QString("Receiving data from total station.Please wait..."));
        TextTransferDialog sss(job, Settings("x", stadix::DataFormat::Sss), false, prompts);
        QCOMPARE(sss.windowTitle(), QString("Data Communication(SSS format)"));
        QCOMPARE(sss.counterLabel->text(), QString("Records received:"));
        TextTransferDialog send(job, Settings("x", stadix::DataFormat::Sss), true, prompts);
        QCOMPARE(send.counterLabel->text(), QString("Records transferred:"));
        QCOMPARE(send.cancelButton->text(), QString("Cancel"));
    }

    void openFailureAndMeasurementSendAreRefusedWithAWarning() {
        ScriptedPrompts prompts;
        stadix::Job job;
        job.lines = {"old line"};
        TextTransferDialog receive(job, Settings("/dev/no-such-port", stadix::DataFormat::Gts),
                                   false, prompts);
        receive.exec();
        stadix::test::Pty pty;
        stadix::Job listing;
        listing.content = stadix::JobContent::Listing;
        TextTransferDialog send(listing, Settings(pty.DevicePath(), stadix::DataFormat::Sss), true,
                                prompts);
        send.exec();
        QCOMPARE(prompts.Kinds(), (QStringList{"tell", "tell"}));
        QCOMPARE(prompts.shown[0].caption, QString("Warning"));
        QVERIFY(prompts.shown[0].text.startsWith(
            "Unable to open /dev/no-such-port. Maybe /dev/no-such-port occupied.\n"));
        QCOMPARE(prompts.shown[1].text,
                 QString("Measurement data cannot be sent in the GTS or SSS format."));
        QVERIFY(!receive.Session().Started() && !send.Session().Started());
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
        ScriptedPrompts prompts;
        stadix::Job job;
        TextTransferDialog dialog(job, Settings(station.pty.DevicePath(), stadix::DataFormat::Sss),
                                  false, prompts);
        QTimer::singleShot(10000, &dialog, [&dialog] { dialog.done(QDialog::Accepted); });
        QCOMPARE(dialog.exec(), int(QDialog::Rejected));
        QCOMPARE(job.lines, std::vector<std::string>{"STN     P1,1.5,"});
        QCOMPARE(job.content, stadix::JobContent::Text);
        QVERIFY(!dialog.Session().Port().Connected());
        QVERIFY(prompts.shown.isEmpty());
    }

    // A hang-up ends the reception with a warning in plain words; Cancel ends it quietly.
    // Either way the accepted blocks stay.
    void aBrokenReceptionKeepsTheAcceptedBlocks() {
        const std::vector<std::string> pieces = SimulatedTextInstrument::GtsPieces(
            stadix::EncodeGtsCoordLine(stadix::MakeRecordLine("P1", "", "1", "2", "3"),
                                       stadix::CoordUnit::Metre) +
            std::string(200, ' '));
        for (const TextFault fault : {TextFault::HangUp, TextFault::CutShort}) {
            Station station;
            ScriptedPrompts prompts;
            stadix::Job job;
            TextTransferDialog dialog(
                job, Settings(station.pty.DevicePath(), stadix::DataFormat::Gts), false, prompts);
            std::string afterCancel;
            station.StartWhenShown([&](SimulatedTextInstrument& instrument) {
                if (!instrument.AwaitEnq())
                    return;
                instrument.SendGtsBlock(pieces[0], 0);
                instrument.SendGtsBlock(pieces[1], 1, fault);
                if (fault == TextFault::CutShort) {
                    QMetaObject::invokeMethod(dialog.cancelButton, &QPushButton::click,
                                              Qt::QueuedConnection);
                    afterCancel = instrument.Listen(300);
                }
            });
            dialog.exec();
            QCOMPARE(job.lines.size(), std::size_t(1));
            QCOMPARE(job.content, stadix::JobContent::ReceivedCoordinates);
            QVERIFY(!dialog.Session().Port().Connected());
            if (fault == TextFault::HangUp) {
                QCOMPARE(prompts.Kinds(), QStringList{"tell"});
                QVERIFY2(prompts.shown[0].text.endsWith("the line was hung up") &&
                             !prompts.shown[0].text.contains("win error code"),
                         qPrintable(prompts.shown[0].text));
            } else {
                QVERIFY(prompts.shown.isEmpty());
                QCOMPARE(afterCancel, std::string());
            }
        }
    }
};

QTEST_MAIN(TextTransferDialogTest)
#include "text_transfer_dialog_test.moc"
