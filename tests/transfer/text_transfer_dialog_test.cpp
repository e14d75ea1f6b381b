// The GTS/SSS transfer dialog with the real port against the simulated instrument on a
// pseudo-terminal: what only the dialog does (captions, the summary at the end, the
// warnings of an open failure and a refused send). The protocol is the engine's, and a
// broken line the engine's and stadix-cli's.
#include "SimulatedTextInstrument.h"
#include "tests/support/DialogHarness.h"
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
    // A send of measurement data is refused with a warning; the job stays and nothing goes
    // out. (A port that does not open is the port's and stadix-cli's test.)
    void refusalsWarnAndLeaveTheJob() {
        Harness h;
        h.job.lines = {"old line"};
        h.job.content = JobContent::Listing;
        const TextTransferDialog receive(h.job, h.Settings(DataFormat::Gts), false, h.prompts);
        QCOMPARE(receive.windowTitle(), QString("Data Communication(GTS format)"));
        QCOMPARE(receive.counterLabel->text(), QString("Record blocks received:"));
        TextTransferDialog send(h.job, h.Settings(DataFormat::Sss), true, h.prompts);
        QCOMPARE(send.counterLabel->text(), QString("Records transferred:"));
        QCOMPARE(send.cancelButton->text(), QString("Cancel"));
        QCOMPARE(send.exec(), int(QDialog::Rejected));
        QCOMPARE(h.prompts.Kinds(), QStringList{"tell"});
        QCOMPARE(h.prompts.shown[0].icon, QMessageBox::Warning);
        QCOMPARE(h.prompts.shown[0].text,
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
};

QTEST_MAIN(TextTransferDialogTest)
#include "text_transfer_dialog_test.moc"
