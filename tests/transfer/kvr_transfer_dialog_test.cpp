// The KVR transfer dialog with the real port against the simulated instrument on a
// pseudo-terminal: what only the dialog does (captions, Cancel, closing between blocks
// and the line error). The protocol itself is the engine's, the line log and the open
// failure the port's and stadix-cli's.
#include "SimulatedInstrument.h"
#include "job/RecordLine.h"
#include "tests/support/DialogHarness.h"
#include "tests/support/KvrBytes.h"
#include "transfer/ui/KvrTransferDialog.h"

#include <QLabel>
#include <QPushButton>

using namespace stadix;
using namespace stadix::test;
using Harness = DialogHarness<SimulatedInstrument>;

namespace {
const std::string kLine = MakeRecordLine("P1", "", "1234.567", "2345.678", "12.3");
} // namespace

class KvrTransferDialogTest : public QObject {
    Q_OBJECT

  private slots:
    // Cancel says what was kept (what it sends is the engine's): what was accepted stays, and a
    // receive starts with an empty raw record store.
    void showsItsCaptionsAndCancelSaysWhatWasKept() {
        Harness h;
        h.job.lines = {"kept"};
        h.job.rawRecords = "old";
        KvrTransferDialog dialog(h.job, h.Settings(), false, h.prompts);
        auto script = h.Start(dialog, [](SimulatedInstrument& instrument) {
            return instrument.Offer(0xAA, CoordBlockBytes(kLine));
        });
        QCOMPARE((QStringList{dialog.windowTitle(), dialog.statusLabel->text(),
                              dialog.counterCaption->text(), dialog.cancelButton->text()}),
                 (QStringList{"Data Communication(KVR format)",
                              "Receiving data from total station. Please wait...",
                              "Transferred:", "Cancel"}));
        QVERIFY(!(dialog.windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(Harness::Await(script), kGoAheadAccept);
        QVERIFY(WaitFor([&dialog] { return dialog.counterLabel->text() == "1"; }));
        QTest::mouseClick(dialog.cancelButton, Qt::LeftButton);
        QCOMPARE(dialog.statusLabel->text(),
                 QString("Transfer cancelled. 1 record received is kept."));
        QTest::mouseClick(dialog.cancelButton, Qt::LeftButton);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(h.job.lines, (std::vector<std::string>{"kept", kLine}));
        QCOMPARE(h.job.rawRecords, std::string());
        QVERIFY(h.prompts.shown.isEmpty());
    }

    // A close request waits while a block is on its way; a line closed then ends the
    // transfer, and the dialog stays to say so until it is closed; what was accepted
    // stays.
    void closesOnlyBetweenBlocksAndSaysWhenTheLineCloses() {
        Harness h;
        KvrTransferDialog dialog(h.job, h.Settings(), false, h.prompts);
        auto script = h.Start(dialog, [&h](SimulatedInstrument& instrument) {
            const std::string first = instrument.Offer(0xAA, CoordBlockBytes(kLine));
            h.pty.Write("\xAA");
            return first + h.pty.Read(1);
        });
        QCOMPARE(Harness::Await(script), kGoAheadAccept + "\xBB");
        dialog.close();
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(dialog.isVisible());
        h.instrument.HangUp();
        QVERIFY(WaitFor([&dialog] { return dialog.Session().Closed(); }));
        QVERIFY(dialog.isVisible());
        QCOMPARE((QStringList{dialog.statusLabel->text(), dialog.cancelButton->text()}),
                 (QStringList{"Transfer failed. 1 record received is kept.", "Close"}));
        QTest::keyClick(&dialog, Qt::Key_Escape);
        QVERIFY(!dialog.isVisible());
        QCOMPARE(h.job.lines, std::vector<std::string>{kLine});
        QVERIFY(h.prompts.shown.isEmpty());
    }
};

QTEST_MAIN(KvrTransferDialogTest)
#include "kvr_transfer_dialog_test.moc"
