// The GTS/SSS transfer dialog with the real port against the simulated instrument on a
// pseudo-terminal: what only the dialog does (captions, the summary at the end, the
// warnings of an open failure, a refused send and a hang-up). The protocol
// is the session's, tested through stadix-cli.
#include "SimulatedTextInstrument.h"
#include "job/RecordLine.h"
#include "tests/support/DialogHarness.h"
#include "transfer/Codecs.h"
#include "transfer/ui/TextTransferDialog.h"

#include <QLabel>
#include <QPushButton>
#include <QtTest>

using namespace stadix;
using namespace stadix::test;
using Harness = DialogHarness<SimulatedTextInstrument>;

class TextTransferDialogTest : public QObject {
    Q_OBJECT

  private slots:
    // An open failure and a send of measurement data are refused with a warning; the job
    // stays and nothing goes out.
    void refusalsWarnAndLeaveTheJob() {
        Harness h;
        h.job.lines = {"old line"};
        h.job.content = JobContent::Listing;
        TextTransferDialog receive(h.job, SettingsFor("/dev/no-such-port", DataFormat::Gts), false,
                                   h.prompts);
        QCOMPARE(receive.exec(), int(QDialog::Rejected));
        TextTransferDialog send(h.job, h.Settings(DataFormat::Sss), true, h.prompts);
        QCOMPARE(send.counterLabel->text(), QString("Records transferred:"));
        QCOMPARE(send.cancelButton->text(), QString("Cancel"));
        QCOMPARE(send.exec(), int(QDialog::Rejected));
        QCOMPARE(h.prompts.Kinds(), (QStringList{"tell", "tell"}));
        QCOMPARE(h.prompts.shown[0].icon, QMessageBox::Warning);
        QVERIFY(h.prompts.shown[0].text.startsWith(
            "Unable to open /dev/no-such-port. Maybe /dev/no-such-port occupied.\n"));
        QCOMPARE(h.prompts.shown[1].text,
                 QString("Measurement data cannot be sent in the GTS or SSS format."));
        QCOMPARE(h.job.lines, std::vector<std::string>{"old line"});
        QCOMPARE(h.pty.Read(1, 200), std::string());
    }

    // Cancel after a line came frees the port, and the dialog says what was kept.
    void aCancelledSssReceptionSaysWhatWasKept() {
        Harness h;
        TextTransferDialog dialog(h.job, h.Settings(DataFormat::Sss), false, h.prompts);
        QCOMPARE(dialog.windowTitle(), QString("Data Communication(SSS format)"));
        QCOMPARE(dialog.counterLabel->text(), QString("Records received:"));
        auto script = h.Start(dialog, [](SimulatedTextInstrument& instrument) {
            instrument.SendSssLine("STN     P1,1.5,");
        });
        QVERIFY(WaitFor([&dialog] { return dialog.Session().AcceptedCount() == 1; }));
        QTest::mouseClick(dialog.cancelButton, Qt::LeftButton);
        QCOMPARE((QStringList{dialog.statusLabel->text(), dialog.cancelButton->text()}),
                 (QStringList{"Transfer cancelled. 1 record received is kept.", "Close"}));
        QVERIFY(!dialog.Session().Port().Connected());
        QTest::mouseClick(dialog.cancelButton, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(h.job.lines, std::vector<std::string>{"STN     P1,1.5,"});
        QCOMPARE(h.job.content, JobContent::Text);
        QVERIFY(h.prompts.shown.isEmpty());
    }

    // A hang-up ends the reception with a warning in plain words; the accepted blocks stay,
    // as the dialog says.
    void aHangUpWarnsAndKeepsTheAcceptedBlocks() {
        Harness h;
        TextTransferDialog dialog(h.job, h.Settings(DataFormat::Gts), false, h.prompts);
        QCOMPARE(dialog.windowTitle(), QString("Data Communication(GTS format)"));
        QCOMPARE(dialog.counterLabel->text(), QString("Record blocks received:"));
        QCOMPARE(dialog.statusLabel->text(),
                 QString("Receiving data from total station. Please wait..."));
        const std::vector<std::string> pieces = SimulatedTextInstrument::GtsPieces(
            "_+P1        _ x+00000001000_ y+00000002000_ z+00000003000" + std::string(200, ' '));
        auto script = h.Start(dialog, [&pieces](SimulatedTextInstrument& instrument) {
            if (instrument.AwaitEnq()) {
                instrument.SendGtsBlock(pieces[0], 0);
                instrument.SendGtsBlock(pieces[1], 1, TextFault::HangUp);
            }
        });
        QVERIFY(WaitFor([&dialog] { return dialog.cancelButton->text() == "Close"; }));
        QCOMPARE(dialog.statusLabel->text(),
                 QString("Transfer failed. 1 record block received is kept."));
        QCOMPARE(h.job.lines.size(), std::size_t(1));
        QCOMPARE(h.prompts.Kinds(), QStringList{"tell"});
        QVERIFY(h.prompts.shown[0].text.endsWith("the line was hung up"));
    }
};

QTEST_MAIN(TextTransferDialogTest)
#include "text_transfer_dialog_test.moc"
