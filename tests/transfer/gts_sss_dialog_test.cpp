// TForm8 with the real port component, end to end: a GTS/SSS instrument plays its part
// on the other end of a pseudo-terminal, in a thread of its own.
#include "Pty.h"
#include "app/Data_format.h"
#include "comport/TComPort.h"
#include "tests/support/ScriptedPrompts.h"
#include "transfer/GtsSssTransfer.h"
#include "transfer/Unit8.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <atomic>
#include <functional>
#include <thread>

namespace {

// The main window's members that the dialog reads and sets.
struct MainWindowState {
    bool SendMode = false;
    int DataFormat = 1;
    int GtsAck = 1;
    int CoordUnit = 0;
    bool CoordView = true;
    std::vector<std::string> RecordLines{"old line"};

    GtsSssDocument Document() {
        return {SendMode, DataFormat, GtsAck, CoordUnit, CoordView, RecordLines};
    }
};

// The instrument's script runs while the dialog is shown; what it saw is kept.
class Instrument {
  public:
    explicit Instrument(std::function<std::string(stadix::test::Pty&)> script)
        : script_(std::move(script)) {}

    void Start() {
        thread_ = std::thread([this] { seen_ = script_(pty); });
    }
    const std::string& Seen() {
        if (thread_.joinable())
            thread_.join();
        return seen_;
    }
    ~Instrument() {
        if (thread_.joinable())
            thread_.join();
    }

    stadix::test::Pty pty;

  private:
    std::function<std::string(stadix::test::Pty&)> script_;
    std::thread thread_;
    std::string seen_;
};

std::string Piece(const std::string& text) {
    std::string piece = text;
    piece.resize(stadix::kGtsPieceLength, ' ');
    return piece;
}

const std::string kCoordinates = "_+P1        _ x+00000100000_ y+00000200000_ z+00000000000"
                                 "_+P2        _ x+00000001500_ y+00000002000_ z-00000003000"
                                 "_+P3        _ x+00000000001_ y+00000000002_ z+00000000003";

} // namespace

class GtsSssDialogTest : public QObject {
    Q_OBJECT

  private slots:
    void OpenFailureNamesThePortAndStartsNoThread() {
        stadix::TComPort port;
        port.SetPortName("/dev/no-such-gts-port");
        MainWindowState state;
        ScriptedPrompts prompts;
        TForm8 form(port, state.Document(), &prompts);
        QCOMPARE(form.windowTitle(), QString("Data Communication(GTS format)"));
        QCOMPARE(form.Label2->text(), QString("Record blocks received:"));
        QCOMPARE(form.Label1->x(), (form.width() - form.Label1->width()) / 2);
        QVERIFY(form.windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(form.windowFlags() & Qt::WindowCloseButtonHint));
        form.exec();
        QCOMPARE(prompts.Kinds(), QStringList{"tell"});
        QCOMPARE(prompts.shown[0].caption, QString("Warning"));
        QCOMPARE(prompts.shown[0].text,
                 QString("Unable to open /dev/no-such-gts-port. Maybe /dev/no-such-gts-port "
                         "occupied."));
        QVERIFY(!form.ThreadStarted());
        QCOMPARE(state.RecordLines, std::vector<std::string>{"old line"});
    }

    void OneWayGtsReceptionEndsByItselfAndFreesThePort() {
        Instrument instrument([](stadix::test::Pty& pty) {
            const std::string first = stadix::FrameGtsBlock(kCoordinates.substr(0, 128), 0);
            const std::string second = stadix::FrameGtsBlock(Piece(kCoordinates.substr(128)), 1);
            std::string seen;
            // The first block split in two, the second glued to the end of transmission.
            pty.Write(first.substr(0, 50));
            pty.Write(first.substr(50));
            seen += pty.Read(2);
            pty.Write(second + "\x04\r\n");
            seen += pty.Read(3);
            return seen;
        });
        stadix::TComPort port;
        port.SetPortName(instrument.pty.DevicePath());
        MainWindowState state;
        ScriptedPrompts prompts;
        TForm8 form(port, state.Document(), &prompts);
        QTimer::singleShot(100, [&instrument] { instrument.Start(); });
        form.exec();

        QCOMPARE(instrument.Seen(), (std::string{stadix::kXoff, stadix::kXon, stadix::kXoff,
                                                 stadix::kXon, stadix::kAck}));
        QVERIFY(prompts.shown.isEmpty());
        QVERIFY(state.CoordView);
        QCOMPARE(state.RecordLines.size(), std::size_t(2));
        QCOMPARE(state.RecordLines[1].substr(1, 128), Piece(kCoordinates.substr(128)));
        QCOMPARE(form.Label2->text(), QString("Record blocks received:   2"));
        QVERIFY(!port.Connected());
        // A later transfer can take the port again.
        port.Open();
        QVERIFY(port.Connected());
        port.Close();
    }

    void SssSendWritesCommaLinesAndTheEndText() {
        Instrument instrument([](stadix::test::Pty& pty) {
            std::string seen;
            for (int line = 0; line < 2; ++line) {
                std::string text;
                while (text.find("\r\n") == std::string::npos) {
                    const std::string part = pty.Read(1, 3000);
                    if (part.empty())
                        return seen + text;
                    text += part;
                }
                seen += text;
                pty.Write(std::string(1, stadix::kXon));
            }
            return seen + pty.Read(3, 3000);
        });
        stadix::TComPort port;
        port.SetPortName(instrument.pty.DevicePath());
        MainWindowState state;
        state.SendMode = true;
        state.DataFormat = 2;
        state.RecordLines = {stadix::MakeRecordLine("P1", "", "100", "200", "0"),
                             stadix::MakeRecordLine("P2", "TREE", "1", "2", "3")};
        ScriptedPrompts prompts;
        TForm8 form(port, state.Document(), &prompts);
        QCOMPARE(form.windowTitle(), QString("Data Communication(SSS format)"));
        QCOMPARE(form.Label2->text(), QString("Records transferred:"));
        instrument.Start();
        form.exec();

        QCOMPARE(instrument.Seen(),
                 std::string("P1,200.000,100.000,0.000,\r\nP2,2.000,1.000,3.000,TREE\r\n\x04\r\n"));
        QCOMPARE(form.Label1->text(), QString("Sending data to total station. Please wait..."));
        QCOMPARE(form.Label1->x(), (form.width() - form.Label1->width()) / 2);
        QCOMPARE(form.Label2->text(), QString("Records transferred:   2/2"));
        QCOMPARE(state.RecordLines.size(), std::size_t(2));
        QVERIFY(!port.Connected());
    }

    // Cancel once the reception has said it is ready (ENQ), while it waits for the
    // instrument.
    void CancelStopsAWaitingReceptionAndKeepsTheList() {
        std::atomic<bool> answered{false};
        Instrument instrument([&answered](stadix::test::Pty& pty) {
            const std::string seen = pty.Read(1, 3000);
            answered = true;
            return seen;
        });
        stadix::TComPort port;
        port.SetPortName(instrument.pty.DevicePath());
        MainWindowState state;
        state.GtsAck = 0;
        ScriptedPrompts prompts;
        TForm8 form(port, state.Document(), &prompts);
        instrument.Start();
        QTimer cancel;
        QObject::connect(&cancel, &QTimer::timeout, form.Button1, [&] {
            if (!answered)
                return;
            cancel.stop();
            form.Button1->click();
        });
        cancel.start(10);
        form.exec();

        QCOMPARE(instrument.Seen(), std::string(1, stadix::kEnq));
        QVERIFY(form.ThreadStarted());
        QCOMPARE(state.RecordLines, std::vector<std::string>{"old line"});
        QVERIFY(state.CoordView);
        QVERIFY(!port.Connected());
    }

    void HangUpEndsTheReceptionWithAWarningAndKeepsAcceptedText() {
        Instrument instrument([](stadix::test::Pty& pty) {
            pty.Write("JOB     MINE\r\n");
            const std::string seen = pty.Read(2);
            pty.Close();
            return seen;
        });
        stadix::TComPort port;
        port.SetPortName(instrument.pty.DevicePath());
        MainWindowState state;
        state.DataFormat = 2;
        ScriptedPrompts prompts;
        TForm8 form(port, state.Document(), &prompts);
        QTimer::singleShot(100, [&instrument] { instrument.Start(); });
        form.exec();

        QCOMPARE(instrument.Seen(), (std::string{stadix::kXoff, stadix::kXon}));
        QCOMPARE(prompts.Kinds(), QStringList{"tell"});
        QCOMPARE(prompts.shown[0].caption, QString("Warning"));
        QVERIFY2(prompts.shown[0].text.contains("(win error code:"),
                 qPrintable(prompts.shown[0].text));
        QCOMPARE(state.RecordLines, std::vector<std::string>{"JOB     MINE"});
        QVERIFY(!state.CoordView);
        QVERIFY(!port.Connected());
    }

    void SendFromTheMeasurementViewIsRefused() {
        stadix::test::Pty pty;
        stadix::TComPort port;
        port.SetPortName(pty.DevicePath());
        MainWindowState state;
        state.SendMode = true;
        state.CoordView = false;
        ScriptedPrompts prompts;
        TForm8 form(port, state.Document(), &prompts);
        form.exec();
        QCOMPARE(prompts.Kinds(), QStringList{"tell"});
        QVERIFY(!form.ThreadStarted());
        QCOMPARE(pty.Read(1, 200), std::string());
    }
};

QTEST_MAIN(GtsSssDialogTest)
#include "gts_sss_dialog_test.moc"
