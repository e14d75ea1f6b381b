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

class KvrTransferDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<Pty> pty;
    std::unique_ptr<SimulatedInstrument> instrument;
    ScriptedPrompts prompts;
    stadix::Job job;
    std::unique_ptr<KvrTransferDialog> dialog;
    const std::string line = stadix::MakeRecordLine("P1", "", "1.000", "2.000", "3.000");

    // The dialog waiting on the port, then the instrument's script on its own thread, as
    // a surveyor presses send once the dialog waits; what the script returns.
    template <typename Script> auto Run(Script script) {
        stadix::TransferSettings settings;
        settings.port.portName = pty->DevicePath();
        dialog = std::make_unique<KvrTransferDialog>(job, settings, false, prompts);
        dialog->show();
        if (!WaitFor([this] { return dialog->Session().Port().Connected(); }))
            qFatal("the port did not open");
        return std::async(std::launch::async, script);
    }
    template <typename T> static T Await(std::future<T>& script) {
        if (!WaitFor(
                [&] {
                    return script.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
                },
                30000))
            qFatal("the simulated instrument did not finish");
        return script.get();
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

    // Cancel closes at once and sends nothing, not even the end byte; what was accepted
    // stays, and a receive starts with an empty raw record store.
    void showsItsCaptionsAndCancelClosesAtOnce() {
        job.lines = {"kept"};
        job.rawRecords = "old";
        auto script = Run([this] { return instrument->Offer(0xAA, CoordBlockBytes(line)); });
        QCOMPARE(dialog->windowTitle(), QString("Data Communication(KVR format)"));
        QCOMPARE(Status(), QString("Receiving data from total station.Please wait..."));
        QCOMPARE(dialog->counterCaption->text(), QString("Transferred:"));
        QCOMPARE(dialog->cancelButton->text(), QString("Cancel"));
        QVERIFY(!(dialog->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(Await(script), kGoAheadAccept);
        QVERIFY(WaitFor([this] { return dialog->counterLabel->text() == "1"; }));
        QTest::mouseClick(dialog->cancelButton, Qt::LeftButton);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(instrument->Listen(300), std::string());
        QCOMPARE(job.lines, (std::vector<std::string>{"kept", line}));
        QCOMPARE(job.rawRecords, std::string());
    }

    // A close request while a block is awaited is granted once the block is answered.
    void closesOnlyBetweenBlocks() {
        auto script = Run([this] { return instrument->Offer(0xAA, "", OfferFault::Silence); });
        QVERIFY(WaitFor([this] { return dialog->Session().BlockInFlight(); }));
        dialog->close();
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(dialog->isVisible());
        QVERIFY(WaitFor([this] { return !dialog->isVisible(); }));
        QCOMPARE(Await(script), kGoAheadReject);
    }

    // A line closed in the middle of a block: "Communication error!", then the dialog
    // closes; what was accepted stays.
    void endsWithItsMessageWhenTheLineCloses() {
        auto script = Run([this] {
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
    }
};

QTEST_MAIN(KvrTransferDialogTest)
#include "kvr_transfer_dialog_test.moc"
