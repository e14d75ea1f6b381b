// The KVR transfer dialog with the real port against the simulated instrument on a
// pseudo-terminal: what only the dialog does (captions, Cancel, closing between blocks,
// the line error and the open failure). The protocol itself is the engine's.
#include "SimulatedInstrument.h"
#include "app/RecordLine.h"
#include "tests/support/KvrBytes.h"
#include "tests/support/QtWait.h"
#include "tests/support/ScriptedPrompts.h"
#include "transfer/ui/KvrTransferDialog.h"

#include <QLabel>
#include <QPushButton>

#include <future>
#include <memory>

using namespace stadix::test;

namespace {

template <typename T> T Await(std::future<T>& script) {
    if (!WaitFor(
            [&script] {
                return script.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
            },
            30000))
        qFatal("the simulated instrument did not finish");
    return script.get();
}

} // namespace

class KvrTransferDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<Pty> pty;
    std::unique_ptr<SimulatedInstrument> instrument;
    ScriptedPrompts prompts;
    stadix::Job job;
    std::unique_ptr<KvrTransferDialog> dialog;

    // The instrument starts once the port is open, as a surveyor presses send on the
    // instrument once the dialog is waiting.
    bool OpenTransfer(const std::string& port) {
        stadix::TransferSettings settings;
        settings.port.portName = port;
        dialog = std::make_unique<KvrTransferDialog>(job, settings, false, prompts);
        dialog->show();
        return WaitFor([this] { return dialog->Session().Port().Connected(); });
    }
    QString Status() const { return dialog->statusLabel->text(); }

  private slots:
    void init() {
        pty = std::make_unique<Pty>();
        instrument = std::make_unique<SimulatedInstrument>(*pty);
        prompts.shown.clear();
        job = stadix::Job();
    }

    void cleanup() {
        dialog.reset();
        instrument.reset();
        pty.reset();
    }

    void showsItsCaptions() {
        QVERIFY(OpenTransfer(pty->DevicePath()));
        QCOMPARE(dialog->windowTitle(), QString("Data Communication(KVR format)"));
        QCOMPARE(Status(), QString("Receiving data from total station.Please wait..."));
        QCOMPARE(dialog->counterCaption->text(), QString("Transferred:"));
        QCOMPARE(dialog->counterLabel->text(), QString("0"));
        QCOMPARE(dialog->cancelButton->text(), QString("Cancel"));
        QVERIFY(!(dialog->windowFlags() & Qt::WindowCloseButtonHint));
    }

    // Cancel closes at once and sends nothing; what was accepted stays and a receive
    // starts with an empty raw record store.
    void cancelClosesAtOnceWithoutTheEndByte() {
        const std::string line = stadix::MakeRecordLine("P1", "", "1.000", "2.000", "3.000");
        job.lines = {"kept"};
        job.rawRecords = "old";
        QVERIFY(OpenTransfer(pty->DevicePath()));
        auto script = std::async(std::launch::async,
                                 [&] { return instrument->Offer(0xAA, CoordBlockBytes(line)); });
        QCOMPARE(Await(script), kGoAheadAccept);
        QVERIFY(WaitFor([this] { return dialog->counterLabel->text() == "1"; }));
        QTest::mouseClick(dialog->cancelButton, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(instrument->Listen(300), std::string());
        QCOMPARE(job.lines, (std::vector<std::string>{"kept", line}));
        QCOMPARE(job.rawRecords, std::string());
        QCOMPARE(job.content, stadix::JobContent::RecordLines);
    }

    // A close request while a block is awaited is granted once the block is answered.
    void closesOnlyBetweenBlocks() {
        QVERIFY(OpenTransfer(pty->DevicePath()));
        auto script = std::async(std::launch::async, [&] {
            return instrument->Offer(0xAA, std::string(), OfferFault::Silence);
        });
        QVERIFY(WaitFor([this] { return dialog->Session().BlockInFlight(); }));
        dialog->close();
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QVERIFY(WaitFor([this] { return !dialog->isVisible(); }));
        QCOMPARE(Await(script), kGoAheadReject);
        QVERIFY(job.lines.empty());
    }

    // A line closed in the middle of a block: "Communication error!", then the dialog
    // closes; what was accepted stays.
    void endsWithItsMessageWhenTheLineCloses() {
        const std::string line = stadix::MakeRecordLine("P1", "", "1.000", "2.000", "3.000");
        QVERIFY(OpenTransfer(pty->DevicePath()));
        auto script = std::async(std::launch::async, [&] {
            const std::string first = instrument->Offer(0xAA, CoordBlockBytes(line));
            instrument->Offer(0xAA, CoordBlockBytes(line), OfferFault::HangUp);
            return first;
        });
        QCOMPARE(Await(script), kGoAheadAccept);
        QVERIFY(WaitFor([this] { return Status() == "Communication error!"; }));
        QVERIFY(dialog->isVisible());
        QVERIFY(WaitFor([this] { return !dialog->isVisible(); }));
        QCOMPARE(job.lines, std::vector<std::string>{line});
        QVERIFY(prompts.shown.isEmpty());
    }

    void warnsWhenThePortCannotBeOpened() {
        job.content = stadix::JobContent::Text;
        job.rawRecords = "kept";
        stadix::TransferSettings settings;
        settings.port.portName = "/dev/stadix-no-such-port";
        KvrTransferDialog failing(job, settings, false, prompts);
        QTimer::singleShot(5000, &failing, [&failing] { failing.done(QDialog::Accepted); });
        QCOMPARE(failing.exec(), int(QDialog::Rejected));
        QCOMPARE(prompts.Kinds(), QStringList{"tell"});
        QVERIFY(prompts.shown[0].text.startsWith("Unable to open /dev/stadix-no-such-port. Maybe "
                                                 "/dev/stadix-no-such-port occupied.\n"));
        QCOMPARE(job.rawRecords, std::string("kept"));
        QCOMPARE(job.content, stadix::JobContent::Text);
    }
};

QTEST_MAIN(KvrTransferDialogTest)
#include "kvr_transfer_dialog_test.moc"
