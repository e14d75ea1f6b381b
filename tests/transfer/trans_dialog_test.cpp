// The KVR transfer dialog end to end: the real dialog and port component on a
// pseudo-terminal, against the simulated instrument.
#include "SimulatedInstrument.h"
#include "app/Data_format.h"
#include "app/FileIO.h"
#include "rawconv/Listing.h"
#include "transfer/Codecs.h"
#include "transfer/Trans.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

#include <atomic>
#include <functional>
#include <future>
#include <memory>
#include <thread>

// Byte strings show as hex when a comparison fails.
namespace QTest {
template <> char* toString(const std::string& bytes) {
    return qstrdup(QByteArray::fromStdString(bytes).toHex(' ').constData());
}
template <> char* toString(const std::vector<std::string>& lines) {
    QByteArray text;
    for (const std::string& line : lines)
        text += "\n[" + QByteArray::fromStdString(line) + "]";
    return qstrdup(text.constData());
}
} // namespace QTest

using stadix::test::EchoFault;
using stadix::test::Exchange;
using stadix::test::OfferFault;
using stadix::test::Pty;
using stadix::test::SimulatedInstrument;

namespace {

const std::string kGoAheadAccept("\xBB\x00", 2);
const std::string kGoAheadReject("\xBB\xFF", 2);
const std::string kAcceptPoll("\x00\xAA", 2);
const std::string kAcceptEnd("\x00\xEE", 2);
const std::string kRejectPoll("\xFF\xAA", 2);
const std::string kPollOnly("\xAA", 1);
const std::string kSeparator(60, '-');

// The main window's document.
struct Document {
    bool sendMode = false;
    bool coordView = true;
    bool rawLoaded = false;
    int coordUnit = 0;
    std::vector<std::string> lines;
    std::string raw;

    stadix::KvrDocument Ref() { return {sendMode, coordView, rawLoaded, coordUnit, lines, raw}; }
};

// Runs the event loop until the condition holds; false after timeoutMs.
bool WaitFor(const std::function<bool()>& condition, int timeoutMs = 10000) {
    QElapsedTimer clock;
    clock.start();
    while (!condition()) {
        if (clock.elapsed() > timeoutMs)
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::msleep(1);
    }
    return true;
}

// The script's wait for the test's next move; it gives up after a while, so that a
// failed test does not leave it waiting for ever.
void AwaitFlag(const std::atomic<bool>& flag) {
    for (int i = 0; i < 1000 && !flag; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
}

template <typename T> bool Finished(const std::future<T>& script) {
    return script.wait_for(std::chrono::seconds(0)) == std::future_status::ready;
}

// The instrument's script runs on its own thread while the dialog runs here.
template <typename T> T Await(std::future<T>& script) {
    if (!WaitFor([&script] { return Finished(script); }, 30000))
        qFatal("the simulated instrument did not finish");
    return script.get();
}

std::string Text(const char* text, std::size_t width) {
    std::string padded(text);
    padded.resize(width, ' ');
    return padded;
}

std::string CoordBlock(const std::string& line) {
    const stadix::CoordBlock block = stadix::EncodeCoordBlock(line, 0);
    return std::string(block.begin(), block.end());
}

std::string Packed(std::initializer_list<int> bytes) {
    std::string packed;
    for (const int byte : bytes)
        packed.push_back(static_cast<char>(byte));
    return packed;
}

std::string KvrText(const char* text) {
    const std::vector<std::uint8_t> codes = stadix::EncodeKvrText(text, 8);
    return std::string(codes.begin(), codes.end());
}

// A station block: point ST1, ID A, HA 123.4530, VA 90.0000, SD 12.345, station
// 1000.000, 2000.000, 30.500, instrument height 1.550, reflector height 1.800.
std::string StationBlock() {
    return KvrText("ST1") + KvrText("A") + Packed({0x01, 0x23, 0x45, 0x30}) +
           Packed({0x00, 0x90, 0x00, 0x00}) + Packed({0x00, 0x01, 0x23, 0x45}) +
           Packed({0x00, 0x01, 0x00, 0x00, 0x00}) + Packed({0x00, 0x02, 0x00, 0x00, 0x00}) +
           Packed({0x00, 0x00, 0x03, 0x05, 0x00}) + Packed({0x00, 0x15, 0x50}) +
           Packed({0x00, 0x18, 0x00}) + Packed({0x00, 0x00});
}

std::string CsvBlock(const char* text, std::size_t length) {
    std::string block(text);
    block.resize(length, '\0');
    return block;
}

// A raw record of the given type whose bytes all differ from the poll and end bytes.
std::string RawRecordBytes(std::uint8_t type, char fill) {
    std::string record(stadix::kRawRecordSize, fill);
    record[0] = static_cast<char>(type);
    return record;
}

} // namespace

class TransDialogTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<QTemporaryDir> dir;
    std::unique_ptr<Pty> pty;
    std::unique_ptr<SimulatedInstrument> instrument;
    Document document;
    std::unique_ptr<TForm2> dialog;
    QStringList warnings;

    std::string SettingsPath() const { return dir->filePath("Commpara").toStdString(); }

    void WriteSettings(const std::string& port) {
        stadix::WriteFileAtomically(SettingsPath(), "[ComPort1]\r\nPort=" + port +
                                                        "\r\nBaudRate=9600\r\nStopBits=1\r\n"
                                                        "DataBits=8\r\nParity=None\r\n"
                                                        "FlowControl=None\r\n");
    }

    // Opens the dialog on the document; the transfer starts once it is shown.
    void ShowDialog() {
        dialog = std::make_unique<TForm2>(document.Ref(), nullptr, SettingsPath());
        dialog->SetWarningFunction(
            [this](QWidget*, const QString& text) { warnings.append(text); });
        dialog->show();
    }

    // The instrument starts once the port is open, as a surveyor presses send on the
    // instrument once the dialog is waiting.
    bool OpenTransfer() {
        ShowDialog();
        return WaitFor([this] { return dialog->Session().ComPort1().Connected(); });
    }

    bool DialogClosed() {
        return WaitFor([this] { return !dialog->isVisible(); });
    }

    QString Status() const { return dialog->Label1->text(); }
    QString Counter() const { return dialog->Label3->text(); }

  private slots:
    void init() {
        dir = std::make_unique<QTemporaryDir>();
        pty = std::make_unique<Pty>();
        instrument = std::make_unique<SimulatedInstrument>(*pty);
        document = Document();
        warnings.clear();
        WriteSettings(pty->DevicePath());
        stadix::ResetDecodeState();
    }

    void cleanup() {
        dialog.reset();
        instrument.reset();
        pty.reset();
    }

    void showsItsCaptionsAndCentresTheStatusLine() {
        ShowDialog();
        QCOMPARE(dialog->windowTitle(), QString("Data Communication(KVR format)"));
        QCOMPARE(Status(), QString("Receiving data from total station.Please wait..."));
        QCOMPARE(dialog->Label2->text(), QString("Transferred:"));
        QCOMPARE(Counter(), QString("0"));
        QCOMPARE(dialog->Button1->text(), QString("Cancel"));
        QCOMPARE(dialog->Label1->x(), (dialog->width() - dialog->Label1->width()) / 2);
        QCOMPARE(dialog->Label2->x(), dialog->Label1->x());
        QVERIFY(dialog->windowFlags() & Qt::WindowStaysOnTopHint);
        QVERIFY(!(dialog->windowFlags() & Qt::WindowCloseButtonHint));
        QCOMPARE(dialog->font().family(), QString("Times New Roman"));
    }

    // Every record type, answered and handled; the end byte closes the dialog 3 s later.
    void receivesEveryRecordType() {
        const std::string coordLine =
            stadix::MakeRecordLine("P1", "TREE", "1234.567", "-12.345", "10.000");
        const std::string inst = RawRecordBytes(stadix::kTypeInst, 'M');
        QVERIFY(OpenTransfer());
        auto script = std::async(std::launch::async, [&] {
            std::vector<std::string> answers;
            answers.push_back(instrument->Offer(0xA1, Text("P3      CODE    123.456 90.0000 "
                                                           "45.3000 1.500",
                                                           47)));
            answers.push_back(instrument->Offer(0xAA, CoordBlock(coordLine)));
            answers.push_back(instrument->Offer(0xAF, StationBlock()));
            answers.push_back(instrument->Offer(0x06, CsvBlock("P2,C2,1.5,2.5,3.5", 53)));
            answers.push_back(instrument->Offer(
                0xA0, Text("P4      C4      100.000    200.000    3.000      1.200", 56)));
            answers.push_back(
                instrument->Offer(0xA2, Text("P5      C5      90.0000 45.3000 1.300", 39)));
            answers.push_back(instrument->Offer(
                0xA3, Text("ST      C6      10.000     20.000     30.000     1.450", 56)));
            answers.push_back(instrument->Offer(0xA8, inst));
            answers.push_back(instrument->Offer(0xA9, CsvBlock("P9,,7,8,9", 56)));
            instrument->SendEnd();
            return answers;
        });
        const std::vector<std::string> answers = Await(script);
        for (const std::string& answer : answers)
            QCOMPARE(answer, kGoAheadAccept);
        QVERIFY(WaitFor([this] { return Status() == "Transfer terminated."; }));
        QCOMPARE(Counter(), QString("9"));
        QVERIFY(dialog->isVisible());
        QVERIFY(DialogClosed());

        std::vector<std::string> listing;
        stadix::ResetDecodeState();
        stadix::RenderListing(inst, listing);
        std::vector<std::string> expected = {
            kSeparator,
            "Pt.:P3 Tgt.h:1.500m HAR:45.3000 ZA:90.0000 Sdist:123.456m Code:CODE",
            coordLine,
            kSeparator,
            "  PT#\xA3\xBAST1",
            "  ID\xA3\xBA"
            "A",
            "  HA\xA3\xBA"
            "123.4530  VA\xA3\xBA 90.0000  SD\xA3\xBA 12.345m",
            "  Stn\xA3\xBAN: 1000.000m   E\xA3\xBA"
            "2000.000m   Z\xA3\xBA"
            "30.500m",
            "  Ins Ht\xA3\xBA"
            "1.550m",
            "  R Ht\xA3\xBA"
            "1.800m",
            stadix::MakeRecordLine("P2", "C2", "1.500", "2.500", "3.500"),
            kSeparator,
            "Pt.:P4 Tgt.h:1.200m N:100.000m E:200.000m Z:3.000m Code:C4",
            kSeparator,
            "Pt.:P5 Tgt.h:1.300m HAR:45.3000 ZA:90.0000 Code:C5",
            kSeparator,
            "Pt.:ST Ins.h:1.450m N0:10.000m E0:20.000m Z0:30.000m Code:C6",
        };
        expected.insert(expected.end(), listing.begin(), listing.end());
        expected.push_back(stadix::MakeRecordLine("P9", "", "7.000", "8.000", "9.000"));
        QCOMPARE(document.lines, expected);
        QCOMPARE(document.raw, inst);
        // The last record carried coordinates; the raw record left RawLoaded set.
        QVERIFY(document.coordView);
        QVERIFY(document.rawLoaded);
    }

    // Spoilt offers get their answer, or none, and the dialog keeps working.
    void keepsReceivingThroughFaultsUntilCancelled() {
        document.lines = {"kept"};
        document.raw = RawRecordBytes(stadix::kTypeInst, 'M');
        document.rawLoaded = true;
        const std::string block = Text("P3      CODE    1.000   90.0000 45.3000 1.500", 47);
        struct Answers {
            std::string wrongChecksum, typeWithBlock, unknownByte, twoBytes, cutShort, silence,
                good, afterCancel;
        };
        std::atomic<bool> cancelled{false};
        QVERIFY(OpenTransfer());
        auto script = std::async(std::launch::async, [&] {
            Answers answers;
            answers.wrongChecksum = instrument->Offer(0xA1, block, OfferFault::WrongChecksum);
            answers.typeWithBlock = instrument->Offer(0xA1, block, OfferFault::TypeWithBlock);
            answers.unknownByte = instrument->SendNoise("\x12");
            answers.twoBytes = instrument->SendNoise("\xA1\xA1");
            answers.cutShort = instrument->Offer(0xA1, block, OfferFault::CutShort);
            answers.silence = instrument->Offer(0xA1, block, OfferFault::Silence);
            answers.good = instrument->Offer(0xA1, block);
            AwaitFlag(cancelled);
            answers.afterCancel = instrument->Listen(300);
            return answers;
        });
        QVERIFY(WaitFor([this] { return Counter() == "1"; }));
        QCOMPARE(document.lines.size(), std::size_t(3));
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
        QVERIFY(!dialog->isVisible()); // at once, not after a pause
        cancelled = true;
        const Answers answers = Await(script);
        QCOMPARE(answers.wrongChecksum, kGoAheadReject);
        QCOMPARE(answers.typeWithBlock, std::string());
        QCOMPARE(answers.unknownByte, std::string());
        QCOMPARE(answers.twoBytes, std::string());
        QCOMPARE(answers.cutShort, kGoAheadReject);
        QCOMPARE(answers.silence, kGoAheadReject);
        QCOMPARE(answers.good, kGoAheadAccept);
        QCOMPARE(answers.afterCancel, std::string()); // no end byte on Cancel
        // A receive starts with an empty raw record store; the list keeps what it held.
        QCOMPARE(document.lines,
                 (std::vector<std::string>{
                     "kept", kSeparator,
                     "Pt.:P3 Tgt.h:1.500m HAR:45.3000 ZA:90.0000 Sdist:1.000m Code:CODE"}));
        QCOMPARE(document.raw, std::string());
        QVERIFY(!document.coordView);
        QVERIFY(!document.rawLoaded);
    }

    // A close request while a block is awaited is granted once the block is answered.
    void closesOnlyBetweenBlocks() {
        QVERIFY(OpenTransfer());
        auto script = std::async(std::launch::async, [&] {
            return instrument->Offer(0xAA, std::string(), OfferFault::Silence);
        });
        QVERIFY(WaitFor([this] { return !dialog->Session().CloseAllowed(); }));
        dialog->close();
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
        QVERIFY(dialog->isVisible());
        QVERIFY(DialogClosed());
        QCOMPARE(Await(script), kGoAheadReject);
        QVERIFY(document.lines.empty());
        QVERIFY(document.coordView);
    }

    // A line closed in the middle of a block: "Communication error!", then the dialog
    // closes; what was accepted stays.
    void endsWithItsMessageWhenTheLineCloses() {
        const std::string line = stadix::MakeRecordLine("P1", "", "1.000", "2.000", "3.000");
        QVERIFY(OpenTransfer());
        auto script = std::async(std::launch::async, [&] {
            const std::string first = instrument->Offer(0xAA, CoordBlock(line));
            instrument->Offer(0xAA, CoordBlock(line), OfferFault::HangUp);
            return first;
        });
        QCOMPARE(Await(script), kGoAheadAccept);
        QVERIFY(WaitFor([this] { return Status() == "Communication error!"; }));
        QVERIFY(dialog->isVisible());
        QVERIFY(DialogClosed());
        QCOMPARE(document.lines, std::vector<std::string>{line});
        QVERIFY(dialog->Session().LineFailed());
        QVERIFY(warnings.isEmpty());
    }

    void warnsWhenThePortCannotBeOpened() {
        WriteSettings("/dev/stadix-no-such-port");
        document.coordView = false;
        document.raw = "kept";
        dialog = std::make_unique<TForm2>(document.Ref(), nullptr, SettingsPath());
        dialog->SetWarningFunction(
            [this](QWidget*, const QString& text) { warnings.append(text); });
        // As the main window shows it: the modal loop ends when the dialog closes.
        QTimer::singleShot(5000, dialog.get(), [this] { dialog->done(QDialog::Accepted); });
        QCOMPARE(dialog->exec(), int(QDialog::Rejected));
        QCOMPARE(warnings, QStringList{"Unable to open /dev/stadix-no-such-port. Maybe "
                                       "/dev/stadix-no-such-port occupied."});
        QCOMPARE(document.raw, std::string("kept"));
        QVERIFY(!document.coordView);
    }

    // Coordinates go out in every block the instrument asks for; a request the view
    // does not allow is answered by a poll alone, and the polling timer stops at the
    // first byte from the instrument.
    void sendsCoordinatesForEveryRequest() {
        document.sendMode = true;
        document.lines = {stadix::MakeRecordLine("P1", "TREE", "1234.567", "2345.678", "12.300"),
                          stadix::MakeRecordLine("P2", "C", "-1.500", "2.000", "3.000"),
                          stadix::MakeRecordLine("P3", "", "10.000", "20.000", "30.000")};
        struct Result {
            Exchange first, second, third;
            std::string refused;
        };
        QVERIFY(OpenTransfer());
        auto script = std::async(std::launch::async, [&] {
            Result result;
            result.first = instrument->Request(0xBB);
            result.refused = instrument->Ask(0xB8);
            result.second = instrument->Request(0xB7);
            result.third = instrument->Request(0xB9);
            return result;
        });
        QCOMPARE(Status(), QString("Sending data to total station. Please wait..."));
        const Result result = Await(script);
        QCOMPARE(result.first.block, CoordBlock(document.lines[0]));
        QCOMPARE(result.first.replies, kAcceptPoll);
        QCOMPARE(result.refused, kPollOnly);
        QCOMPARE(result.second.block, stadix::EncodeTextBlock11(document.lines[1], 0));
        QCOMPARE(result.second.replies, kAcceptPoll);
        QCOMPARE(result.third.block, stadix::EncodeTextBlock12(document.lines[2], 0));
        QCOMPARE(result.third.replies, kAcceptEnd);
        QCOMPARE(Status(), QString("Transfer terminated."));
        QCOMPARE(Counter(), QString("3"));
        QVERIFY(DialogClosed());
        QCOMPARE(document.lines.size(), std::size_t(3));
        QVERIFY(document.coordView);
    }

    // A wrong echo or a stray byte gets a reject and a poll; the same record comes again.
    void offersARecordAgainAfterAFault() {
        document.sendMode = true;
        document.lines = {stadix::MakeRecordLine("P1", "", "1.000", "2.000", "3.000"),
                          stadix::MakeRecordLine("P2", "", "4.000", "5.000", "6.000")};
        QVERIFY(OpenTransfer());
        auto script = std::async(std::launch::async, [&] {
            std::vector<Exchange> exchanges;
            exchanges.push_back(instrument->Request(0xBB, EchoFault::WrongEcho));
            exchanges.push_back(instrument->Request(0xBB));
            exchanges.push_back(Exchange{std::string(), instrument->Ask(0x12)});
            exchanges.push_back(instrument->Request(0xBB, EchoFault::TwoBytes));
            exchanges.push_back(instrument->Request(0xBB));
            return exchanges;
        });
        const std::vector<Exchange> exchanges = Await(script);
        QCOMPARE(exchanges[0].block, CoordBlock(document.lines[0]));
        QCOMPARE(exchanges[0].replies, kRejectPoll);
        QCOMPARE(exchanges[1].block, CoordBlock(document.lines[0]));
        QCOMPARE(exchanges[1].replies, kAcceptPoll);
        QCOMPARE(exchanges[2].replies, kPollOnly);
        QCOMPARE(exchanges[3].block, CoordBlock(document.lines[1]));
        QCOMPARE(exchanges[3].replies, kRejectPoll);
        QCOMPARE(exchanges[4].block, CoordBlock(document.lines[1]));
        QCOMPARE(exchanges[4].replies, kAcceptEnd);
        QCOMPARE(Counter(), QString("2"));
        QVERIFY(DialogClosed());
    }

    // Raw records go out 42 bytes as stored; Cancel while an echo is awaited closes at
    // once and sends no end byte.
    void sendsRawRecordsUntilCancelled() {
        document.sendMode = true;
        document.coordView = false;
        document.rawLoaded = true;
        for (char fill : {'a', 'b', 'c', 'd'})
            document.raw += RawRecordBytes(stadix::kTypeDist, fill);
        std::atomic<bool> waiting{false};
        std::atomic<bool> cancelled{false};
        QVERIFY(OpenTransfer());
        auto script = std::async(std::launch::async, [&] {
            std::vector<Exchange> exchanges;
            exchanges.push_back(Exchange{std::string(), instrument->Ask(0xBB)});
            exchanges.push_back(instrument->Request(0xB8));
            exchanges.push_back(instrument->Request(0xB8, EchoFault::NoEcho));
            waiting = true;
            AwaitFlag(cancelled);
            exchanges.push_back(Exchange{std::string(), instrument->Listen(300)});
            return exchanges;
        });
        QVERIFY(WaitFor([&waiting] { return waiting.load(); }));
        QTest::mouseClick(dialog->Button1, Qt::LeftButton);
        QVERIFY(!dialog->isVisible()); // at once, not after a pause
        cancelled = true;
        const std::vector<Exchange> exchanges = Await(script);
        QCOMPARE(exchanges[0].replies, kPollOnly);
        QCOMPARE(exchanges[1].block, document.raw.substr(0, 42));
        QCOMPARE(exchanges[1].replies, kAcceptPoll);
        QCOMPARE(exchanges[2].block, document.raw.substr(42, 42));
        QCOMPARE(exchanges[2].replies, std::string());
        QCOMPARE(exchanges[3].replies, std::string());
        QVERIFY(!document.coordView);
        QVERIFY(document.rawLoaded);
    }

    // In the measurement view without raw records nothing is sent.
    void sendsNoRawRecordsWithoutRawLoaded() {
        document.sendMode = true;
        document.coordView = false;
        for (char fill : {'a', 'b', 'c', 'd'})
            document.raw += RawRecordBytes(stadix::kTypeDist, fill);
        QVERIFY(OpenTransfer());
        auto script = std::async(std::launch::async,
                                 [&] { return instrument->Ask(0xB8) + instrument->Ask(0xB8); });
        QCOMPARE(Await(script), kPollOnly + kPollOnly);
        QTest::keyClick(dialog.get(), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible()); // at once, not after a pause
        QCOMPARE(Counter(), QString("0"));
    }
};

QTEST_MAIN(TransDialogTest)
#include "trans_dialog_test.moc"
