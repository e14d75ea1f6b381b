#include "transfer/KvrEngine.h"

#include "base/FileIO.h"
#include "job/RecordLine.h"
#include "tests/support/HexBytes.h"
#include "tests/support/InMemoryPort.h"
#include "tests/support/KvrBytes.h"
#include "tests/support/KvrEngineHost.h"

#include <gtest/gtest.h>

#include <tuple>
#include <utility>

namespace stadix {
namespace {

using test::TextBlock;

const std::string kAccepted = test::kGoAheadAccept;
const std::string kRejected = test::kGoAheadReject;
// Blocks as the instrument sends them, their checksums written out.
const std::string kCoordinateFrame = test::CoordinateBlock() + "\x3B";
const std::string kTextFrame = TextBlock("P2,,1,-2,0", 56) + "\xF2";

class KvrTransferTest : public ::testing::Test {
  protected:
    void Open(const KvrSettings& settings, KvrSendData data = {}) {
        engine = std::make_unique<KvrEngine>(port, host, settings, std::move(data));
        engine->Open();
    }
    // The instrument sends bytes; the port reports them in one event.
    void Arrive(const std::string& bytes) {
        port.input += bytes;
        engine->OnBytesArrived(port.BytesWaiting());
    }
    // The bytes written in answer to those that arrive.
    std::string Reply(const std::string& bytes) {
        Arrive(bytes);
        return TakeWritten();
    }
    // The written bytes since the last call.
    std::string TakeWritten() { return std::exchange(port.written, std::string()); }
    void Fire(KvrTimer timer) {
        ASSERT_TRUE(host.Running(timer));
        host.timers.erase(timer);
        engine->OnTimer(timer);
    }
    // One record received whole: type byte, go-ahead, block and checksum; returns the
    // replies.
    std::string ReceiveRecord(std::uint8_t type, const std::string& frame) {
        Arrive(std::string(1, static_cast<char>(type)));
        Arrive(frame);
        return TakeWritten();
    }
    // One record sent whole on request, its checksum echoed; returns the block written.
    std::string SendRecord(std::uint8_t request, char echo) {
        Arrive(std::string(1, static_cast<char>(request)));
        const std::string block = TakeWritten();
        Arrive(std::string(1, echo));
        return block;
    }

    InMemoryPort port;
    test::RecordingHost host;
    std::unique_ptr<KvrEngine> engine;
};

TEST_F(KvrTransferTest, ReceivesCoordinatesInTheChosenUnitAndRawRecordsToTheStore) {
    Open({false, false, false, CoordUnit::InternationalFoot});
    EXPECT_EQ(host.rawRecords, "");
    EXPECT_EQ(Reply("\xAA"), "\xBB");
    EXPECT_FALSE(engine->CloseAllowed());
    // The block comes in pieces; the reply goes out with the last byte, no timer.
    Arrive(kCoordinateFrame.substr(0, 5));
    EXPECT_EQ(Reply(kCoordinateFrame.substr(5, 20)), "");
    EXPECT_EQ(Reply(kCoordinateFrame.substr(25)), std::string(1, '\0'));
    EXPECT_FALSE(host.Running(KvrTimer::BlockWait));
    EXPECT_TRUE(engine->CloseAllowed());
    // Comma text of both lengths.
    EXPECT_EQ(ReceiveRecord(0x06, TextBlock("P1,C1,100,200,30", 53) + "\x2B"), kAccepted);
    EXPECT_EQ(ReceiveRecord(0xA9, kTextFrame), kAccepted);
    EXPECT_EQ(host.lines,
              (std::vector<std::string>{MakeRecordLine("P1", "", "4050.42", "0.02", "-40.50"),
                                        MakeRecordLine("P1", "C1", "328.08", "656.17", "98.43"),
                                        MakeRecordLine("P2", "", "3.28", "-6.56", "0")}));
    EXPECT_EQ(host.counter, "3");
    EXPECT_TRUE(engine->CoordRecords());
    // A raw record goes to the store and sets the raw data loaded.
    const std::string record = test::RawRecordBytes(0x01, 'R');
    EXPECT_EQ(ReceiveRecord(0xA8, record + "\x23"), kAccepted);
    EXPECT_EQ(host.rawRecords, record);
    EXPECT_EQ(host.lines.size(), 3u);
    EXPECT_TRUE(engine->RawLoaded() && !engine->CoordRecords());
}

// Measurements without raw records: display lines after a separator, and neither
// coordinates nor raw data on show.
TEST_F(KvrTransferTest, MeasurementRecordsBecomeDisplayLines) {
    const std::pair<std::uint8_t, std::string> records[] = {
        {0xA1, TextBlock("P7      TREE    123.456 90.0000 45.3000   1.500", 47) + "\x9F"},
        {0xA2, TextBlock("P8      CODE8    88.1020 12.3456  1.6", 39) + "\xD4"},
        {0xA0, TextBlock("P9      C9      1000.123   2000.456   30.789      1.7", 56) + "\xE8"},
        {0xA3, TextBlock("STN1            500.000    600.000    70.000     1.55", 56) + "\xDB"},
        // The text ends at the first NUL: what follows is left-over buffer content.
        {0xA2, std::string("P1      C1      88.1") + '\0' + std::string(18, '7') + "\x22"},
        // Station: PT, ID, HA, VA, SD, N, E, Z, instrument and reflector heights.
        {0xAF, test::Hex("1A01FFFFFFFFFFFF 0B0CFFFFFFFFFFFF 01234530 00900000 00123450 0000100000 "
                         "F000020000 0000030000 001550 001700 9999 98")}};
    Open({false, true, true});
    for (const auto& [type, frame] : records)
        EXPECT_EQ(ReceiveRecord(type, frame), kAccepted);
    std::string shown;
    for (const std::string& line : host.lines)
        shown += line + "\n";
    EXPECT_EQ(shown, ReadFileBytes(STADIX_GOLDEN_DIR "measurement-records.txt"));
    EXPECT_EQ(host.counter, "6");
    EXPECT_FALSE(engine->CoordRecords() || engine->RawLoaded());
}

// A wrong checksum, a type byte glued to its block, a byte that is no record type, a
// block too long, cut short or never sent: rejected or dropped, no time-out (the dialog
// waits for the user), and the next record gets through.
TEST_F(KvrTransferTest, FaultyRecordsAreDroppedAndTheNextAccepted) {
    const std::string badSum = test::CoordinateBlock() + "\x3C";
    // The instrument's bytes, whether the kCoordinateFrame wait ends, and the replies.
    const std::tuple<std::vector<std::string>, bool, std::string> faults[] = {
        {{"\xAA", badSum}, false, kRejected},
        {{"\xAA" + kCoordinateFrame}, false, ""},
        {{"\x42"}, false, ""},
        {{"\xAA", kCoordinateFrame + "\x01\x02"}, false, kRejected},
        {{"\xAA", kCoordinateFrame.substr(0, 20)}, true, kRejected},
        {{"\xA8"}, true, kRejected},
    };
    for (const auto& [arrivals, waitEnds, replies] : faults) {
        SCOPED_TRACE(arrivals.back().size());
        host = test::RecordingHost();
        Open({});
        // Timer events that come late, after their timer was stopped, change nothing.
        engine->OnTimer(KvrTimer::BlockWait);
        engine->OnTimer(KvrTimer::CloseDelay);
        for (const std::string& bytes : arrivals)
            Arrive(bytes);
        if (waitEnds)
            Fire(KvrTimer::BlockWait);
        EXPECT_EQ(TakeWritten(), replies);
        EXPECT_TRUE(port.input.empty() && host.lines.empty() && host.timers.empty());
        EXPECT_TRUE(engine->CloseAllowed());
        EXPECT_EQ(ReceiveRecord(0xAA, kCoordinateFrame), kAccepted);
        EXPECT_EQ(host.counter, "1");
    }
}

// On a slow line a kCoordinateFrame takes long to come: its pieces are awaited while the go-ahead,
// the kCoordinateFrame and its checksum cross the line (967 ms for 58 bytes at 600 baud, 61 ms at
// 9600), and half a second besides.
TEST_F(KvrTransferTest, TheBlockWaitLastsWhileTheBlockCrossesTheLine) {
    for (const auto& [baud, waitMs] :
         {std::pair{BaudRate::Br600, 1467}, std::pair{BaudRate::Br9600, 561}}) {
        port.settings.baudRate = baud;
        Open({});
        Arrive("\xA9");
        Arrive(kTextFrame.substr(0, 50));
        EXPECT_EQ(TakeWritten(), "\xBB");
        EXPECT_EQ(host.timers[KvrTimer::BlockWait], waitMs);
        Fire(KvrTimer::BlockWait);
        EXPECT_EQ(TakeWritten(), kRejected.substr(1));
    }
}

// The end byte closes 3 s later and keeps the view; a line error shows itself and closes
// 2 s later. The first of them decides, and the bytes that follow are left alone.
TEST_F(KvrTransferTest, EndByteOrLineErrorClosesLater) {
    Open({false, false, true});
    Arrive("\xEE");
    engine->OnLineError();
    EXPECT_EQ(host.status, "Transfer terminated.");
    EXPECT_TRUE(engine->Ended());
    EXPECT_EQ(host.timers, (std::map<KvrTimer, int>{{KvrTimer::CloseDelay, 3000}}));
    EXPECT_EQ(Reply("\xAA"), "");
    EXPECT_EQ(host.closeCount, 0);
    Fire(KvrTimer::CloseDelay);
    EXPECT_EQ(host.closeCount, 1);
    EXPECT_TRUE(engine->RawLoaded() && !engine->CoordRecords());

    Open({});
    Arrive("\xAA");
    engine->OnLineError();
    engine->OnLineError();
    EXPECT_EQ(host.status, "Communication error!");
    EXPECT_EQ(host.timers, (std::map<KvrTimer, int>{{KvrTimer::CloseDelay, 2000}}));
    EXPECT_TRUE(engine->CloseAllowed());
    EXPECT_EQ(Reply(kCoordinateFrame), "\xBB");
    Fire(KvrTimer::CloseDelay);
    EXPECT_EQ(host.closeCount, 2);
}

const std::vector<std::string> kThreeLines = {
    MakeRecordLine("P1", "", "1234.567", "2345.678", "12.3"),
    MakeRecordLine("P2", "", "-1.5", "2.25", "0"), MakeRecordLine("P3", "X", "5", "6", "7")};

TEST_F(KvrTransferTest, CancelClosesWithoutSendingButNotWhileABlockIsOnItsWay) {
    Open({true}, {kThreeLines, ""});
    engine->OnCancel();
    EXPECT_EQ(host.closeCount, 1);
    EXPECT_TRUE(host.timers.empty() && TakeWritten().empty());

    Open({});
    Arrive("\xAA");
    TakeWritten();
    engine->OnCancel();
    EXPECT_EQ(host.closeCount, 1);
    EXPECT_FALSE(engine->CloseAllowed());
    // The block is answered and kept, then the dialog closes.
    EXPECT_EQ(Reply(kCoordinateFrame), std::string(1, '\0'));
    EXPECT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.closeCount, 2);
    EXPECT_TRUE(host.timers.empty());

    // A block that never comes: the dialog closes when the wait ends.
    Open({});
    Arrive("\xAA");
    engine->OnCancel();
    Fire(KvrTimer::BlockWait);
    EXPECT_EQ(TakeWritten(), kRejected);
    EXPECT_EQ(host.closeCount, 3);
}

// A record too wide for the coordinate block is not sent in it; a text block carries it.
TEST_F(KvrTransferTest, SendsCoordinateAndTextBlocksThenTheEndByte) {
    const std::string big = MakeRecordLine("BIG", "", "12345678.9", "1", "2");
    Open({true}, {{kThreeLines[0], big, kThreeLines[1]}, ""});
    EXPECT_EQ(host.status, "Sending data to total station. Please wait...");
    EXPECT_EQ(SendRecord(0xBB, '\x05'), test::CoordBlockBytes(kThreeLines[0]));
    EXPECT_EQ(TakeWritten(), test::kAcceptPoll);
    EXPECT_EQ(Reply("\xBB"), "\xAA");
    EXPECT_EQ(SendRecord(0xB9, '\x7C'), "BIG             12345678.9001.000       2.000       ");
    EXPECT_EQ(TakeWritten(), test::kAcceptPoll);
    EXPECT_EQ(SendRecord(0xB7, '\x68'), "P2              -1.500     2.250      0.000      ");
    EXPECT_EQ(TakeWritten(), test::kAcceptEnd);
    EXPECT_EQ(host.counter, "3");
    EXPECT_EQ(host.status, "Transfer terminated.");
    EXPECT_TRUE(engine->Ended());
    Fire(KvrTimer::CloseDelay);
    EXPECT_EQ(host.closeCount, 1);
}

TEST_F(KvrTransferTest, SendsRawRecordsOnlyWhenRawDataIsLoaded) {
    const std::string store = test::RawRecordBytes(0x81, 'R') + test::RawRecordBytes(0x01, 'S');
    Open({true, false, false}, {{}, store});
    Arrive("\xB8");
    EXPECT_EQ(Reply("\xBB"), "\xAA\xAA");

    Open({true, false, true}, {{}, store});
    TakeWritten();
    for (int i = 0; i < 2; ++i) {
        // A coordinate request is out of place in the measurement view.
        EXPECT_EQ(Reply("\xBB"), "\xAA");
        EXPECT_EQ(SendRecord(0xB8, "\xA3\x4C"[i]), store.substr(i * 42, 42));
        EXPECT_EQ(TakeWritten(), i < 1 ? test::kAcceptPoll : test::kAcceptEnd);
    }
}

// A wrong echo, two request bytes at once or two echo bytes are rejected; bytes during
// the pause wait for it to end, then the instrument is polled and gets the same record.
TEST_F(KvrTransferTest, RejectedRecordIsOfferedAgainAfterThePause) {
    const std::string block = test::CoordBlockBytes(kThreeLines[0]);
    const std::string wrongEcho = "\x06";
    const std::pair<std::string, std::string> faults[] = {
        {"", "\xBB\xBB"}, {"\xBB", "\x01\x02"}, {"\xBB", wrongEcho}};
    for (const auto& [request, reply] : faults) {
        Open({true}, {kThreeLines, ""});
        if (!request.empty()) {
            EXPECT_EQ(Reply(request), block);
        }
        EXPECT_EQ(Reply(reply), "\xFF");
        EXPECT_EQ(port.input, "");
        // The pause starts when the reject has crossed the line (2 ms at 9600 baud, rounded up).
        EXPECT_EQ(host.timers[KvrTimer::ReplyPause], 102);
        EXPECT_EQ(Reply("\xBB"), "");
        Fire(KvrTimer::ReplyPause);
        EXPECT_EQ(TakeWritten(), "\xAA" + block);
        EXPECT_EQ(host.counter, "0");
    }
}

TEST_F(KvrTransferTest, PollsUntilTheInstrumentFirstSpeaks) {
    Open({true}, {kThreeLines, ""});
    EXPECT_EQ(host.timers[KvrTimer::Poll], 100);
    Fire(KvrTimer::Poll);
    Fire(KvrTimer::Poll);
    EXPECT_EQ(TakeWritten(), "\xAA\xAA");
    // The end byte is no request: it is polled like any other byte.
    EXPECT_EQ(Reply("\xEE"), "\xAA");
    EXPECT_FALSE(host.Running(KvrTimer::Poll));
    EXPECT_FALSE(engine->Ended());
}

} // namespace
} // namespace stadix
