// TForm8 and the real port component against the simulated GTS/SSS instrument on a
// pseudo-terminal: whole receptions and sends in GTS ACK/NAK, GTS one way and SSS,
// with the instrument spoiling blocks, lines and answers.
#include "Pty.h"
#include "SimulatedTextInstrument.h"
#include "app/Data_format.h"
#include "app/ReceivedCoords.h"
#include "comport/TComPort.h"
#include "tests/support/ScriptedPrompts.h"
#include "transfer/Codecs.h"
#include "transfer/Unit8.h"

#include <QLabel>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include <functional>
#include <thread>

using stadix::test::SimulatedTextInstrument;
using stadix::test::TextAnswer;
using stadix::test::TextFault;

namespace {

constexpr char kAck = SimulatedTextInstrument::kAck;
constexpr char kNak = SimulatedTextInstrument::kNak;
const std::string kXoffXon{SimulatedTextInstrument::kXoff, SimulatedTextInstrument::kXon};
const std::string kHeaderBlock = "\x02"
                                 "F00F000\x03\r\n";
const std::string kSecondBlock = "\x02"
                                 "12345678  +00001.000000100000-000017S069\x03\r\n";

// The main window's members that the dialog reads and sets, as after New.
struct MainWindowState {
    bool SendMode = false;
    int DataFormat = 1;
    int GtsAck = 0;
    int CoordUnit = 0;
    bool CoordView = true;
    std::vector<std::string> RecordLines;

    GtsSssDocument Document() {
        return {SendMode, DataFormat, GtsAck, CoordUnit, CoordView, RecordLines};
    }
};

// The instrument on its own thread, playing its script while the dialog runs.
class Station {
  public:
    using Script = std::function<void(SimulatedTextInstrument&)>;

    // Starts the script once the dialog's event loop runs (the port is open by then).
    void StartWhenShown(Script script) {
        QTimer::singleShot(
            100, [this, script] { thread_ = std::thread([this, script] { script(instrument); }); });
    }
    void StartNow(Script script) {
        thread_ = std::thread([this, script] { script(instrument); });
    }
    void Join() {
        if (thread_.joinable())
            thread_.join();
    }
    ~Station() { Join(); }

    stadix::test::Pty pty;
    SimulatedTextInstrument instrument{pty};

  private:
    std::thread thread_;
};

// Cancel, pressed from the instrument's thread as a user would press it meanwhile.
void PressCancel(TForm8& form) {
    QMetaObject::invokeMethod(form.Button1, &QPushButton::click, Qt::QueuedConnection);
}

std::vector<std::string> Records(int count) {
    std::vector<std::string> records;
    for (int i = 1; i <= count; ++i) {
        const std::string n = std::to_string(1000 + i) + ".125";
        const std::string e = std::to_string(2000 - i) + ".500";
        const std::string z = (i % 2 ? "-" : "") + std::to_string(i) + ".007";
        records.push_back(stadix::MakeRecordLine("P" + std::to_string(i), "", n, e, z));
    }
    return records;
}

std::string GtsText(const std::vector<std::string>& records) {
    std::string text;
    for (const std::string& record : records)
        text += stadix::EncodeGtsCoordLine(record, 0);
    return text;
}

// A received block as the record text list holds it: without its CR LF.
std::string Line(const std::string& block) {
    return block.substr(0, block.size() - 2);
}

} // namespace

class GtsSssInstrumentTest : public QObject {
    Q_OBJECT

  private slots:
    void AcknowledgedGtsReceptionRejectsSpoiltBlocksAndConverts() {
        const std::vector<std::string> records = Records(25);
        const std::vector<std::string> pieces =
            SimulatedTextInstrument::GtsPieces(GtsText(records));
        QCOMPARE(pieces.size(), std::size_t(12));
        Station station;
        std::vector<std::string> answers;
        station.StartWhenShown([&](SimulatedTextInstrument& instrument) {
            if (!instrument.AwaitEnq())
                return;
            for (int i = 0; i < int(pieces.size()); ++i) {
                if (i == 2)
                    answers.push_back(instrument.SendGtsBlock(pieces[i], i, TextFault::WrongCheck));
                if (i == 5)
                    answers.push_back(instrument.SendGtsBlock(pieces[i], i, TextFault::Malformed));
                answers.push_back(instrument.SendGtsBlock(pieces[i], i));
            }
            answers.push_back(instrument.SendEndOfTransmission());
        });
        stadix::TComPort port;
        port.SetPortName(station.pty.DevicePath());
        MainWindowState state;
        ScriptedPrompts prompts;
        TForm8 form(port, state.Document(), &prompts);
        form.exec();
        station.Join();

        std::vector<std::string> expected(15, std::string(1, kAck));
        expected[2] = std::string(1, kNak);
        expected[6] = std::string(1, kNak);
        QCOMPARE(answers, expected);
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(form.Label2->text(), QString("Record blocks received:   12"));
        QVERIFY(state.CoordView);
        QCOMPARE(state.RecordLines.size(), pieces.size());
        // The eleventh block carries the digit 0 again and is kept as it came.
        QCOMPARE(state.RecordLines[10], Line(SimulatedTextInstrument::GtsBlock(pieces[10], 10)));
        QCOMPARE(state.RecordLines[10][129], '0');
        stadix::ConvertReceivedCoordinates(state.RecordLines, state.DataFormat);
        QCOMPARE(state.RecordLines, records);
        QVERIFY(!port.Connected());
    }

    void OneWayGtsReceptionDropsSpoiltBlocks() {
        const std::vector<std::string> records = Records(3);
        const std::vector<std::string> pieces =
            SimulatedTextInstrument::GtsPieces(GtsText(records));
        Station station;
        std::vector<std::string> answers;
        station.StartWhenShown([&](SimulatedTextInstrument& instrument) {
            answers.push_back(instrument.SendGtsBlock(pieces[0], 0, TextFault::WrongCheck));
            answers.push_back(instrument.SendGtsBlock(pieces[0], 0));
            answers.push_back(instrument.SendGtsBlock(pieces[1], 1, TextFault::Malformed));
            answers.push_back(instrument.SendGtsBlock(pieces[1], 1));
            answers.push_back(instrument.SendEndOfTransmission());
        });
        stadix::TComPort port;
        port.SetPortName(station.pty.DevicePath());
        MainWindowState state;
        state.GtsAck = 1;
        ScriptedPrompts prompts;
        TForm8 form(port, state.Document(), &prompts);
        form.exec();
        station.Join();

        QCOMPARE(answers, (std::vector<std::string>{kXoffXon, kXoffXon, kXoffXon, kXoffXon,
                                                    std::string(1, kAck)}));
        QCOMPARE(form.Label2->text(), QString("Record blocks received:   2"));
        stadix::ConvertReceivedCoordinates(state.RecordLines, state.DataFormat);
        QCOMPARE(state.RecordLines, records);
    }

    void SssReceptionDropsForeignTextAndTellsMeasurementsApart() {
        Station coordinates;
        std::vector<std::string> answers;
        coordinates.StartWhenShown([&](SimulatedTextInstrument& instrument) {
            answers.push_back(
                instrument.SendSssLine("P1,200,100,5,TREE", TextFault::ForeignCharacter));
            answers.push_back(instrument.SendSssLine("P1,200,100,5,TREE"));
            answers.push_back(instrument.SendSssLine("P2,1.5,-2,3"));
            answers.push_back(instrument.SendEndOfTransmission());
        });
        stadix::TComPort port;
        port.SetPortName(coordinates.pty.DevicePath());
        MainWindowState state;
        state.DataFormat = 2;
        ScriptedPrompts prompts;
        {
            TForm8 form(port, state.Document(), &prompts);
            form.exec();
            coordinates.Join();
            QCOMPARE(form.Label2->text(), QString("Records received:   2"));
        }
        QCOMPARE(answers,
                 (std::vector<std::string>{kXoffXon, kXoffXon, kXoffXon, std::string(1, kAck)}));
        QVERIFY(state.CoordView);
        stadix::ConvertReceivedCoordinates(state.RecordLines, state.DataFormat);
        QCOMPARE(state.RecordLines,
                 (std::vector<std::string>{
                     stadix::MakeRecordLine("P1", "TREE", "100.000", "200.000", "5.000"),
                     stadix::MakeRecordLine("P2", "", "-2.000", "1.500", "3.000")}));

        Station measurements;
        measurements.StartWhenShown([&](SimulatedTextInstrument& instrument) {
            instrument.SendSssLine("STN     A1,1.500,");
            instrument.SendSssLine("P9,1,2,3");
            instrument.SendEndOfTransmission();
        });
        port.SetPortName(measurements.pty.DevicePath());
        MainWindowState second;
        second.DataFormat = 2;
        TForm8 form(port, second.Document(), &prompts);
        form.exec();
        measurements.Join();
        QVERIFY(!second.CoordView);
        QCOMPARE(second.RecordLines, (std::vector<std::string>{"STN     A1,1.500,", "P9,1,2,3"}));
        QVERIFY(prompts.shown.isEmpty());
    }

    // A hang-up ends the reception with the port's message; a cut-short block leaves
    // the reception waiting until Cancel. Either way the accepted blocks stay.
    void ABrokenReceptionKeepsTheAcceptedBlocks() {
        const std::vector<std::string> pieces =
            SimulatedTextInstrument::GtsPieces(GtsText(Records(4)));
        for (const TextFault fault : {TextFault::HangUp, TextFault::CutShort}) {
            Station station;
            stadix::TComPort port;
            port.SetPortName(station.pty.DevicePath());
            MainWindowState state;
            ScriptedPrompts prompts;
            TForm8 form(port, state.Document(), &prompts);
            std::string answer;
            std::string afterCancel;
            station.StartWhenShown([&](SimulatedTextInstrument& instrument) {
                if (!instrument.AwaitEnq())
                    return;
                answer = instrument.SendGtsBlock(pieces[0], 0);
                instrument.SendGtsBlock(pieces[1], 1, fault);
                if (fault == TextFault::CutShort) {
                    PressCancel(form);
                    afterCancel = instrument.Listen(300);
                }
            });
            form.exec();
            station.Join();

            QCOMPARE(answer, std::string(1, kAck));
            QCOMPARE(state.RecordLines, std::vector<std::string>{
                                            Line(SimulatedTextInstrument::GtsBlock(pieces[0], 0))});
            QVERIFY(state.CoordView);
            QVERIFY(!port.Connected());
            if (fault == TextFault::HangUp) {
                QCOMPARE(prompts.Kinds(), QStringList{"tell"});
                QCOMPARE(prompts.shown[0].caption, QString("Warning"));
            } else {
                QVERIFY(prompts.shown.isEmpty());
                QCOMPARE(afterCancel, std::string());
            }
        }
    }

    // 23 records fill ten blocks and 31 characters of an eleventh, whose digit is 0.
    void AcknowledgedGtsSendRepeatsAfterNakAndSilence() {
        const std::vector<std::string> records = Records(23);
        Station station;
        std::vector<std::string> units;
        station.StartNow([&](SimulatedTextInstrument& instrument) {
            const auto receive = [&](TextAnswer answer) {
                units.push_back(instrument.ReceiveUnit(6000));
                instrument.Answer(answer);
            };
            receive(TextAnswer::Nak); // the header block, sent again
            receive(TextAnswer::Ack);
            receive(TextAnswer::Ack); // the second block
            for (int block = 0; block < 11; ++block) {
                if (block == 3)
                    receive(TextAnswer::Silence); // sent again after 4 s
                if (block == 7)
                    receive(TextAnswer::Nak);
                receive(TextAnswer::Ack);
            }
            units.push_back(instrument.ReceiveUnit());
        });
        stadix::TComPort port;
        port.SetPortName(station.pty.DevicePath());
        MainWindowState state;
        state.SendMode = true;
        state.RecordLines = records;
        ScriptedPrompts prompts;
        TForm8 form(port, state.Document(), &prompts);
        form.exec();
        station.Join();

        QCOMPARE(units.size(), std::size_t(17));
        QCOMPARE(units[0], kHeaderBlock);
        QCOMPARE(units[1], kHeaderBlock);
        QCOMPARE(units[2], kSecondBlock);
        QCOMPARE(units[6], units[7]);
        QCOMPARE(units[11], units[12]);
        std::vector<std::string> blocks(units.begin() + 3, units.end() - 1);
        blocks.erase(blocks.begin() + 9);
        blocks.erase(blocks.begin() + 3);
        const std::vector<std::string> pieces =
            SimulatedTextInstrument::GtsPieces(GtsText(records));
        QCOMPARE(blocks.size(), pieces.size());
        for (std::size_t i = 0; i < blocks.size(); ++i)
            QCOMPARE(blocks[i], SimulatedTextInstrument::GtsBlock(pieces[i], int(i)));
        QCOMPARE(blocks[10].substr(1 + 31, 97), std::string(97, ' '));
        QCOMPARE(blocks[10][129], '0');
        QCOMPARE(units.back(), SimulatedTextInstrument::GtsEndText());
        QCOMPARE(form.Label2->text(), QString("Records transferred:   23/23"));
        QVERIFY(prompts.shown.isEmpty());
        QCOMPARE(state.RecordLines, records);
    }

    // Three records: a full block and one of 43 characters and 85 blanks, digit 1.
    void OneWayGtsSendWaitsOutXoffAndGoesOnWithoutAnswer() {
        const std::vector<std::string> records = Records(3);
        Station station;
        std::vector<std::string> units;
        station.StartNow([&](SimulatedTextInstrument& instrument) {
            units.push_back(instrument.ReceiveUnit());
            units.push_back(instrument.ReceiveUnit());
            units.push_back(instrument.ReceiveUnit());
            instrument.Answer(TextAnswer::XoffXon);
            units.push_back(instrument.ReceiveUnit());
            instrument.Answer(TextAnswer::Silence);
            units.push_back(instrument.ReceiveUnit());
        });
        stadix::TComPort port;
        port.SetPortName(station.pty.DevicePath());
        MainWindowState state;
        state.SendMode = true;
        state.GtsAck = 1;
        state.RecordLines = records;
        ScriptedPrompts prompts;
        TForm8 form(port, state.Document(), &prompts);
        form.exec();
        station.Join();

        const std::string text = GtsText(records);
        QCOMPARE(units.size(), std::size_t(5));
        QCOMPARE(units[0], kHeaderBlock);
        QCOMPARE(units[1], kSecondBlock);
        QCOMPARE(units[2], SimulatedTextInstrument::GtsBlock(text.substr(0, 128), 0));
        QCOMPARE(units[3],
                 SimulatedTextInstrument::GtsBlock(text.substr(128) + std::string(85, ' '), 1));
        QCOMPARE(units[4], SimulatedTextInstrument::GtsEndText());
        QCOMPARE(form.Label2->text(), QString("Records transferred:   3/3"));
    }

    // An instrument that pauses and never goes on, or never acknowledges: Cancel ends
    // the send with an end text, the format's inside a one-way send.
    void CancelDuringAPauseSendsTheEndText() {
        struct Case {
            int format;
            int gtsAck;
            TextAnswer answer;
            std::string endText;
        };
        const Case cases[] = {{1, 1, TextAnswer::XoffOnly, SimulatedTextInstrument::GtsEndText()},
                              {2, 1, TextAnswer::XoffOnly, SimulatedTextInstrument::SssEndText()},
                              {1, 0, TextAnswer::Silence, SimulatedTextInstrument::SssEndText()}};
        for (const Case& c : cases) {
            Station station;
            stadix::TComPort port;
            port.SetPortName(station.pty.DevicePath());
            MainWindowState state;
            state.SendMode = true;
            state.DataFormat = c.format;
            state.GtsAck = c.gtsAck;
            state.RecordLines = Records(3);
            ScriptedPrompts prompts;
            TForm8 form(port, state.Document(), &prompts);
            std::string paused;
            std::string last;
            std::string afterEnd;
            station.StartNow([&](SimulatedTextInstrument& instrument) {
                for (int header = 0; c.format == 1 && header < 2; ++header) {
                    instrument.ReceiveUnit();
                    instrument.Answer(TextAnswer::Ack);
                }
                paused = instrument.ReceiveUnit();
                instrument.Answer(c.answer);
                QThread::msleep(600); // longer than the eight waits of a one-way send
                PressCancel(form);
                last = instrument.ReceiveUnit();
                afterEnd = instrument.Listen(300);
            });
            form.exec();
            station.Join();

            if (c.format == 1)
                QVERIFY(SimulatedTextInstrument::IsGtsBlock(paused));
            else
                QCOMPARE(paused, std::string("P1,1999.500,1001.125,-1.007,\r\n"));
            QCOMPARE(last, c.endText);
            QCOMPARE(afterEnd, std::string());
            QVERIFY(prompts.shown.isEmpty());
            QVERIFY(!port.Connected());
        }
    }

    void AHangUpEndsASendWithAWarning() {
        Station station;
        station.StartNow([](SimulatedTextInstrument& instrument) {
            instrument.ReceiveUnit();
            instrument.Answer(TextAnswer::Ack);
            instrument.ReceiveUnit();
            instrument.Answer(TextAnswer::HangUp);
        });
        stadix::TComPort port;
        port.SetPortName(station.pty.DevicePath());
        MainWindowState state;
        state.SendMode = true;
        state.RecordLines = Records(2);
        ScriptedPrompts prompts;
        TForm8 form(port, state.Document(), &prompts);
        form.exec();
        station.Join();

        QCOMPARE(prompts.Kinds(), QStringList{"tell"});
        QCOMPARE(prompts.shown[0].caption, QString("Warning"));
        QVERIFY(!port.Connected());
    }
};

QTEST_MAIN(GtsSssInstrumentTest)
#include "gts_sss_instrument_test.moc"
