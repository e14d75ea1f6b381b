#include "transfer/KvrEngine.h"

#include "app/RecordLine.h"
#include "tests/support/InMemoryPort.h"
#include "tests/support/KvrBytes.h"
#include "tests/support/KvrEngineHost.h"

#include <gtest/gtest.h>

namespace stadix {
namespace {

using test::Bytes;
using test::CoordinateBlock;
using test::TextBlock;
using test::WithChecksum;

class KvrTransferTest : public ::testing::Test {
  protected:
    void Open(bool sendMode, bool coordView, bool rawLoaded, KvrSendData data = {},
              CoordUnit coordUnit = CoordUnit::Metre) {
        KvrSettings settings{sendMode, coordView, rawLoaded, coordUnit};
        engine = std::make_unique<KvrEngine>(port, host, settings, std::move(data));
        engine->Open();
    }
    void OpenReceive(bool coordView = true, bool rawLoaded = false) {
        Open(false, coordView, rawLoaded);
    }
    void OpenSend(KvrSendData data, bool coordView = true, bool rawLoaded = false) {
        Open(true, coordView, rawLoaded, std::move(data));
    }

    // The instrument sends bytes; the port reports them in one event.
    void Arrive(const std::string& bytes) {
        port.input += bytes;
        engine->OnBytesArrived(port.InputCount());
    }
    // The written bytes since the last call.
    std::string TakeWritten() {
        std::string written;
        written.swap(port.written);
        return written;
    }
    void Fire(KvrTimer timer) {
        ASSERT_TRUE(host.Running(timer));
        host.timers.erase(timer);
        engine->OnTimer(timer);
    }
    // One record received whole: type byte, go-ahead, block; returns the replies.
    std::string ReceiveRecord(std::uint8_t type, const std::string& block) {
        Arrive(std::string(1, static_cast<char>(type)));
        Arrive(WithChecksum(block));
        return TakeWritten();
    }
    // One record sent whole on request; returns the block written.
    std::string SendRecord(std::uint8_t request) {
        Arrive(std::string(1, static_cast<char>(request)));
        const std::string block = TakeWritten();
        Arrive(std::string(1, WithChecksum(block).back()));
        return block;
    }

    InMemoryPort port;
    test::RecordingHost host;
    std::unique_ptr<KvrEngine> engine;
};

const std::string kAccepted = test::kGoAheadAccept;

TEST_F(KvrTransferTest, ReceivesCoordinateBlockAndAnswersAtOnce) {
    OpenReceive(false);
    EXPECT_EQ(host.rawRecords, "");

    Arrive("\xAA");
    EXPECT_EQ(TakeWritten(), "\xBB");
    EXPECT_FALSE(engine->CloseAllowed());

    // The block comes in pieces; the reply goes out with the last byte, no timer.
    const std::string block = WithChecksum(CoordinateBlock());
    Arrive(block.substr(0, 5));
    Arrive(block.substr(5, 20));
    EXPECT_EQ(TakeWritten(), "");
    Arrive(block.substr(25));
    EXPECT_EQ(TakeWritten(), std::string(1, '\0'));
    EXPECT_FALSE(host.Running(KvrTimer::BlockWait));

    EXPECT_EQ(host.lines,
              std::vector<std::string>{MakeRecordLine("P1", "", "1234.567", "0.005", "-12.345")});
    EXPECT_EQ(host.counter, "1");
    EXPECT_EQ(engine->TransferredCount(), 1);
    EXPECT_TRUE(engine->CoordRecords());
    EXPECT_TRUE(engine->CloseAllowed());
}

// Coordinate blocks and comma text of both lengths, in the chosen unit.
TEST_F(KvrTransferTest, ReceivedCoordinatesFollowTheCoordinateUnit) {
    Open(false, false, false, {}, CoordUnit::InternationalFoot);
    std::string block = CoordinateBlock();
    block.replace(16, 5, Bytes({0x00, 0x00, 0x10, 0x00, 0x00})); // N 100.000
    EXPECT_EQ(ReceiveRecord(0xAA, block), kAccepted);
    EXPECT_EQ(ReceiveRecord(0x06, TextBlock("P1,C1,100,200,30", 53)), kAccepted);
    EXPECT_EQ(ReceiveRecord(0xA9, TextBlock("P2,,1,-2,0", 56)), kAccepted);
    ASSERT_EQ(host.lines.size(), 3u);
    EXPECT_EQ(RecordLineN(host.lines[0]), "328.080");
    EXPECT_EQ(host.lines[1], MakeRecordLine("P1", "C1", "328.08", "656.17", "98.43"));
    EXPECT_EQ(host.lines[2], MakeRecordLine("P2", "", "3.28", "-6.56", "0"));
    EXPECT_EQ(host.counter, "3");
    EXPECT_TRUE(engine->CoordRecords());
}

TEST_F(KvrTransferTest, RawRecordGoesToTheStoreAndSetsRawLoaded) {
    OpenReceive(true, false);
    std::string record = TextBlock("\x01PT1", 42);
    record[41] = '\x07';
    EXPECT_EQ(ReceiveRecord(0xA8, record), kAccepted);
    EXPECT_EQ(host.rawRecords, record);
    EXPECT_TRUE(host.lines.empty());
    EXPECT_TRUE(engine->RawLoaded());
    EXPECT_FALSE(engine->CoordRecords());
}

TEST_F(KvrTransferTest, FixedColumnRecordsBecomeDisplayLines) {
    OpenReceive(true, true);
    const std::string separator(60, '-');
    ReceiveRecord(0xA1, TextBlock("P7      TREE    123.456 90.0000 45.3000   1.500", 47));
    ReceiveRecord(0xA2, TextBlock("P8      CODE8    88.1020 12.3456  1.6", 39));
    ReceiveRecord(0xA0, TextBlock("P9      C9      1000.123   2000.456   30.789      1.7", 56));
    ReceiveRecord(0xA3, TextBlock("STN1            500.000    600.000    70.000     1.55", 56));
    EXPECT_EQ(host.lines, (std::vector<std::string>{
                              separator,
                              "Pt.:P7 Tgt.h:1.500m HAR:45.3000 ZA:90.0000 Sdist:123.456m Code:TREE",
                              separator,
                              "Pt.:P8 Tgt.h:1.6m HAR:12.3456 ZA:88.1020 Code:CODE8",
                              separator,
                              "Pt.:P9 Tgt.h:1.7m N:1000.123m E:2000.456m Z:30.789m Code:C9",
                              separator,
                              "Pt.:STN1 Ins.h:1.55m N0:500.000m E0:600.000m Z0:70.000m Code:",
                          }));
    EXPECT_EQ(host.counter, "4");
    // The text ends at the first NUL: what follows is left-over buffer content.
    std::string cut = std::string("P1      C1      88.1") + '\0';
    cut.resize(39, '7');
    EXPECT_EQ(ReceiveRecord(0xA2, cut), kAccepted);
    EXPECT_EQ(host.lines.back(), "Pt.:P1 Tgt.h:m HAR: ZA:88.1 Code:C1");
    // Measurements without raw records: neither coordinates nor raw data on show.
    EXPECT_FALSE(engine->CoordRecords());
    EXPECT_FALSE(engine->RawLoaded());
}

TEST_F(KvrTransferTest, StationBlockBecomesSevenLinesWithFullWidthColons) {
    OpenReceive();
    const std::string block = Bytes({0x1A, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, // P1
                                     0x0B, 0x0C, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, // AB
                                     0x01, 0x23, 0x45, 0x30,                         // HA
                                     0x00, 0x90, 0x00, 0x00,                         // VA
                                     0x00, 0x12, 0x34, 0x50,                         // SD
                                     0x00, 0x00, 0x10, 0x00, 0x00,                   // N
                                     0xF0, 0x00, 0x02, 0x00, 0x00,                   // E
                                     0x00, 0x00, 0x03, 0x00, 0x00,                   // Z
                                     0x00, 0x15, 0x50,                               // inst
                                     0x00, 0x17, 0x00,                               // refl
                                     0x99, 0x99});
    EXPECT_EQ(ReceiveRecord(0xAF, block), kAccepted);
    const std::string colon = "\xA3\xBA";
    EXPECT_EQ(
        host.lines,
        (std::vector<std::string>{
            std::string(60, '-'),
            "  PT#" + colon + "P1",
            "  ID" + colon + "AB",
            "  HA" + colon + "123.4530  VA" + colon + " 90.0000  SD" + colon + " 123.450m",
            "  Stn" + colon + "N: 100.000m   E" + colon + "-000020.000m   Z" + colon + "30.000m",
            "  Ins Ht" + colon + "1.550m",
            "  R Ht" + colon + "1.700m",
        }));
    EXPECT_FALSE(engine->CoordRecords());
}

TEST_F(KvrTransferTest, ChecksumFaultIsRejectedAndTheRepeatAccepted) {
    OpenReceive();
    std::string bad = WithChecksum(CoordinateBlock());
    bad.back() = static_cast<char>(bad.back() + 1);
    Arrive("\xAA");
    Arrive(bad);
    EXPECT_EQ(TakeWritten(), Bytes({0xBB, 0xFF}));
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(host.counter, "0");

    EXPECT_EQ(ReceiveRecord(0xAA, CoordinateBlock()), kAccepted);
    EXPECT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.counter, "1");
}

// A type byte that came together with its block, a byte that is no record type, and a
// block longer than expected are all dropped; the next record gets through.
TEST_F(KvrTransferTest, NoiseIsDroppedAndTheNextRecordAccepted) {
    OpenReceive();
    Arrive("\xAA" + WithChecksum(CoordinateBlock()));
    Arrive("\x42");
    EXPECT_EQ(TakeWritten(), "");
    EXPECT_FALSE(host.Running(KvrTimer::BlockWait));
    Arrive("\xAA");
    Arrive(WithChecksum(CoordinateBlock()) + "\x01\x02");
    EXPECT_EQ(TakeWritten(), Bytes({0xBB, 0xFF}));
    EXPECT_FALSE(host.Running(KvrTimer::BlockWait));
    EXPECT_EQ(port.input, "");
    EXPECT_TRUE(host.lines.empty());
    EXPECT_EQ(ReceiveRecord(0xAA, CoordinateBlock()), kAccepted);
}

TEST_F(KvrTransferTest, BlockCutShortIsRejectedWhenTheWaitEnds) {
    OpenReceive();
    Arrive("\xAA");
    Arrive(WithChecksum(CoordinateBlock()).substr(0, 20));
    EXPECT_EQ(TakeWritten(), "\xBB");
    EXPECT_EQ(host.timers[KvrTimer::BlockWait], 500);
    Fire(KvrTimer::BlockWait);
    EXPECT_EQ(TakeWritten(), "\xFF");
    // The stub of the block is dropped as noise; the next record gets through.
    EXPECT_EQ(port.input, "");
    EXPECT_TRUE(engine->CloseAllowed());
    EXPECT_EQ(ReceiveRecord(0xAA, CoordinateBlock()), kAccepted);
    EXPECT_EQ(host.counter, "1");
}

TEST_F(KvrTransferTest, SilentInstrumentGetsRejectAfterTheWaitAndNothingElse) {
    OpenReceive();
    // Timer events that come late, after their timer was stopped, change nothing.
    engine->OnTimer(KvrTimer::BlockWait);
    engine->OnTimer(KvrTimer::CloseDelay);
    Arrive("\xA8");
    Fire(KvrTimer::BlockWait);
    EXPECT_EQ(TakeWritten(), Bytes({0xBB, 0xFF}));
    // No overall time-out: the dialog waits for the user.
    EXPECT_TRUE(host.timers.empty());
    EXPECT_EQ(host.closeCount, 0);
    // A single byte left over after the wait is read as the next type byte.
    Arrive("\xA9");
    Arrive(TextBlock("P1", 20));
    Fire(KvrTimer::BlockWait);
    EXPECT_EQ(TakeWritten(), Bytes({0xBB, 0xFF}));
}

TEST_F(KvrTransferTest, EndByteClosesThreeSecondsLaterAndKeepsTheView) {
    OpenReceive(false, true);
    Arrive("\xEE");
    EXPECT_EQ(host.status, "Transfer terminated.");
    EXPECT_TRUE(engine->Ended());
    EXPECT_EQ(host.timers[KvrTimer::CloseDelay], 3000);
    EXPECT_EQ(host.closeCount, 0);
    // Further bytes are left alone.
    Arrive("\xAA");
    EXPECT_EQ(TakeWritten(), "");
    Fire(KvrTimer::CloseDelay);
    EXPECT_EQ(host.closeCount, 1);
    EXPECT_FALSE(engine->CoordRecords());
    EXPECT_TRUE(engine->RawLoaded());
}

TEST_F(KvrTransferTest, CancelWaitsForABlockInFlightThenClosesWithoutSending) {
    OpenReceive();
    Arrive("\xAA");
    TakeWritten();
    engine->OnCancel();
    EXPECT_EQ(host.closeCount, 0);
    EXPECT_FALSE(engine->CloseAllowed());
    Arrive(WithChecksum(CoordinateBlock()));
    // The block is answered and kept, then the dialog closes.
    EXPECT_EQ(TakeWritten(), std::string(1, '\0'));
    EXPECT_EQ(host.lines.size(), 1u);
    EXPECT_EQ(host.closeCount, 1);
    EXPECT_TRUE(host.timers.empty());
    // A closed transfer does nothing more.
    Arrive("\xAA");
    EXPECT_EQ(TakeWritten(), "");
    EXPECT_EQ(host.closeCount, 1);

    // A block that never comes: the dialog closes when the wait ends.
    OpenReceive();
    Arrive("\xAA");
    engine->OnCancel();
    Fire(KvrTimer::BlockWait);
    EXPECT_EQ(TakeWritten(), Bytes({0xBB, 0xFF}));
    EXPECT_EQ(host.closeCount, 2);
}

TEST_F(KvrTransferTest, LineErrorShowsItselfAndClosesTwoSecondsLater) {
    OpenReceive();
    Arrive("\xAA");
    engine->OnLineError();
    engine->OnLineError();
    EXPECT_EQ(host.status, "Communication error!");
    EXPECT_EQ(host.timers, (std::map<KvrTimer, int>{{KvrTimer::CloseDelay, 2000}}));
    EXPECT_TRUE(engine->CloseAllowed());
    Arrive(WithChecksum(CoordinateBlock()));
    EXPECT_EQ(TakeWritten(), "\xBB");
    EXPECT_TRUE(host.lines.empty());
    Fire(KvrTimer::CloseDelay);
    EXPECT_EQ(host.closeCount, 1);
}

// Sending.

const std::vector<std::string> kThreeLines = {MakeRecordLine("P1", "C1", "100", "200", "30"),
                                              MakeRecordLine("P2", "", "-1.5", "2.25", "0"),
                                              MakeRecordLine("P3", "X", "5", "6", "7")};

TEST_F(KvrTransferTest, SendsThreeCoordinateBlocksThenTheEndByte) {
    OpenSend({kThreeLines, ""});
    EXPECT_EQ(host.status, "Sending data to total station. Please wait...");
    for (std::size_t i = 0; i < kThreeLines.size(); ++i) {
        EXPECT_EQ(SendRecord(0xBB), test::CoordBlockBytes(kThreeLines[i]));
        EXPECT_EQ(TakeWritten(), i + 1 < kThreeLines.size() ? test::kAcceptPoll : test::kAcceptEnd);
    }
    EXPECT_EQ(host.counter, "3");
    EXPECT_EQ(host.status, "Transfer terminated.");
    EXPECT_TRUE(engine->Ended());
    Fire(KvrTimer::CloseDelay);
    EXPECT_EQ(host.closeCount, 1);
}

// A record too wide for the coordinate block is not sent in it; a text block carries it.
TEST_F(KvrTransferTest, SendsTextBlocksOfBothWidths) {
    const std::string big = MakeRecordLine("BIG", "", "12345678.9", "1", "2");
    OpenSend({{kThreeLines[0], big}, ""});
    EXPECT_EQ(SendRecord(0xB7), EncodeTextBlock11(kThreeLines[0], CoordUnit::Metre));
    EXPECT_EQ(TakeWritten(), test::kAcceptPoll);
    Arrive("\xBB");
    EXPECT_EQ(TakeWritten(), "\xAA");
    const std::string wide = EncodeTextBlock12(big, CoordUnit::Metre);
    ASSERT_EQ(wide.size(), 52u);
    EXPECT_EQ(SendRecord(0xB9), wide);
    EXPECT_EQ(TakeWritten(), test::kAcceptEnd);
}

TEST_F(KvrTransferTest, SendsRawRecordsOnlyWhenRawDataIsLoaded) {
    std::string store;
    for (char type : {'\x81', '\x82', '\x83', '\x01'})
        store += TextBlock(std::string(1, type) + "REC", 42);
    OpenSend({{}, store}, false, false);
    Arrive("\xB8");
    Arrive("\xBB");
    EXPECT_EQ(TakeWritten(), Bytes({0xAA, 0xAA}));

    OpenSend({{}, store}, false, true);
    TakeWritten();
    for (int i = 0; i < 4; ++i) {
        // A coordinate request is out of place in the measurement view.
        Arrive("\xBB");
        EXPECT_EQ(TakeWritten(), "\xAA");
        EXPECT_EQ(SendRecord(0xB8), store.substr(i * 42, 42));
        EXPECT_EQ(TakeWritten(), i < 3 ? test::kAcceptPoll : test::kAcceptEnd);
    }
}

TEST_F(KvrTransferTest, WrongEchoOffersTheSameRecordAgain) {
    OpenSend({kThreeLines, ""});
    const std::string block = test::CoordBlockBytes(kThreeLines[0]);
    Arrive("\xBB");
    TakeWritten();
    Arrive(std::string(1, static_cast<char>(WithChecksum(block).back() + 1)));
    EXPECT_EQ(TakeWritten(), "\xFF");
    EXPECT_EQ(host.timers[KvrTimer::ReplyPause], 100);
    // Bytes during the pause wait for it to end.
    Arrive("\xBB");
    EXPECT_EQ(TakeWritten(), "");
    Fire(KvrTimer::ReplyPause);
    EXPECT_EQ(TakeWritten(), "\xAA" + block);
    EXPECT_EQ(host.counter, "0");
}

// Two request bytes at once, or two echo bytes, are rejected; after the pause the
// instrument is polled and the same record is still to come.
TEST_F(KvrTransferTest, WrongByteCountIsRejectedThenPolled) {
    OpenSend({kThreeLines, ""});
    for (const std::string& twoBytes : {std::string("\xBB\xBB"), std::string("\x01\x02")}) {
        Arrive(twoBytes);
        EXPECT_EQ(TakeWritten(), "\xFF");
        EXPECT_EQ(port.input, "");
        Fire(KvrTimer::ReplyPause);
        EXPECT_EQ(TakeWritten(), "\xAA");
        Arrive("\xBB");
        EXPECT_EQ(TakeWritten(), test::CoordBlockBytes(kThreeLines[0]));
    }
}

TEST_F(KvrTransferTest, PollsUntilTheInstrumentFirstSpeaks) {
    OpenSend({kThreeLines, ""});
    EXPECT_EQ(host.timers[KvrTimer::Poll], 100);
    Fire(KvrTimer::Poll);
    Fire(KvrTimer::Poll);
    EXPECT_EQ(TakeWritten(), Bytes({0xAA, 0xAA}));
    // The end byte is no request: it is polled like any other byte.
    Arrive("\xEE");
    EXPECT_EQ(TakeWritten(), "\xAA");
    EXPECT_FALSE(host.Running(KvrTimer::Poll));
    EXPECT_FALSE(engine->Ended());
}

TEST_F(KvrTransferTest, CancelWhileSendingClosesWithoutTheEndByte) {
    OpenSend({kThreeLines, ""});
    Arrive("\xBB");
    TakeWritten();
    engine->OnCancel();
    EXPECT_EQ(host.closeCount, 1);
    EXPECT_TRUE(host.timers.empty());
    EXPECT_EQ(TakeWritten(), "");
}

} // namespace
} // namespace stadix
