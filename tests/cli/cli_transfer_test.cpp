// stadix-cli receive and send, run as a program against the simulated
// instrument on a pseudo-terminal.
#include "SimulatedInstrument.h"
#include "app/Data_format.h"
#include "app/FileIO.h"
#include "app/JobFile.h"
#include "rawconv/RawRecords.h"
#include "tests/support/CliPtyTest.h"
#include "transfer/Codecs.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

using stadix::test::CliProcess;
using stadix::test::EchoFault;
using stadix::test::Exchange;
using stadix::test::OfferFault;
using stadix::test::SimulatedInstrument;

namespace {

const std::string kGoAheadAccept("\xBB\x00", 2);
const std::string kAcceptPoll("\x00\xAA", 2);
const std::string kAcceptEnd("\x00\xEE", 2);

std::string CoordBlock(const std::string& line) {
    const stadix::CoordBlock block = stadix::EncodeCoordBlock(line, stadix::CoordUnit::Metre);
    return std::string(block.begin(), block.end());
}

std::string RawRecordBytes(std::uint8_t type, char fill) {
    std::string record(stadix::kRawRecordSize, fill);
    record[0] = static_cast<char>(type);
    return record;
}

class CliTransferTest : public stadix::test::CliPtyTest {
  protected:
    SimulatedInstrument instrument{pty};
};

TEST_F(CliTransferTest, ReceivesCoordinatesAsAJobFileAndEndsAtTheEndByte) {
    const std::vector<std::string> lines = {
        stadix::MakeRecordLine("P1", "TREE", "1234.567", "2345.678", "12.300"),
        stadix::MakeRecordLine("P2", "", "-1.500", "2.000", "3.000")};
    auto cli = Start("receive", {Path("out.JCD")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(instrument.Offer(0xAA, CoordBlock(lines[0])), kGoAheadAccept);
    EXPECT_EQ(instrument.Offer(0xAA, CoordBlock(lines[1])), kGoAheadAccept);
    instrument.SendEnd();
    // Well before the dialog's 3 s pause.
    EXPECT_EQ(cli->Wait(2000), 0) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.JCD")), stadix::JobFileBytes(lines));
    EXPECT_NE(cli->Err().find("coordinates: 2 records\n"), std::string::npos) << cli->Err();
}

TEST_F(CliTransferTest, ReceivesRawRecordsAsAMeasurementFile) {
    const std::string records =
        RawRecordBytes(stadix::kTypeInst, 'M') + RawRecordBytes(stadix::kTypeDist, 'd');
    auto cli = Start("receive", {Path("out.tsm")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(instrument.Offer(0xA8, records.substr(0, 42)), kGoAheadAccept);
    EXPECT_EQ(instrument.Offer(0xA8, records.substr(42)), kGoAheadAccept);
    instrument.SendEnd();
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.tsm")), records);
    EXPECT_NE(cli->Err().find("raw records: 2\n"), std::string::npos) << cli->Err();
}

// Display lines are text; a silent line ends the reception, which still succeeds.
TEST_F(CliTransferTest, ReceivesTextUntilTheLineFallsSilent) {
    std::string block = "P3      CODE    1.000   90.0000 45.3000 1.500";
    block.resize(47, ' ');
    auto cli = Start("receive", {"--idle", "0.5", Path("out.txt")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(instrument.Offer(0xA1, block, OfferFault::WrongChecksum), "\xBB\xFF");
    EXPECT_EQ(instrument.Offer(0xA1, block), kGoAheadAccept);
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.txt")),
              std::string(60, '-') +
                  "\r\nPt.:P3 Tgt.h:1.500m HAR:45.3000 ZA:90.0000 Sdist:1.000m Code:CODE\r\n");
    EXPECT_NE(cli->Err().find("text: 2 lines\n"), std::string::npos) << cli->Err();
}

TEST_F(CliTransferTest, WritesNothingWhenNothingArrived) {
    auto cli = Start("receive", {"--idle", "0.3", Path("out.JCD")});
    EXPECT_EQ(cli->Wait(), 4);
    EXPECT_FALSE(fs::exists(Path("out.JCD")));

    auto interrupted = Start("receive", {Path("out.JCD")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    interrupted->Interrupt();
    EXPECT_EQ(interrupted->Wait(), 4);
    EXPECT_FALSE(fs::exists(Path("out.JCD")));
}

// Ctrl+C ends the reception as Cancel does: what arrived is written.
TEST_F(CliTransferTest, KeepsWhatArrivedBeforeCtrlC) {
    const std::string line = stadix::MakeRecordLine("P1", "", "1.000", "2.000", "3.000");
    auto cli = Start("receive", {Path("out.JCD")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(instrument.Offer(0xAA, CoordBlock(line)), kGoAheadAccept);
    cli->Interrupt();
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.JCD")), stadix::JobFileBytes({line}));
    EXPECT_EQ(instrument.Listen(100), std::string()); // no end byte
}

// A line that goes down ends the reception at once, with what arrived before it.
TEST_F(CliTransferTest, FailsWhenTheLineClosesButKeepsTheRecords) {
    const std::string line = stadix::MakeRecordLine("P1", "", "1.000", "2.000", "3.000");
    auto cli = Start("receive", {Path("out.JCD")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(instrument.Offer(0xAA, CoordBlock(line)), kGoAheadAccept);
    instrument.Offer(0xAA, CoordBlock(line), OfferFault::HangUp);
    EXPECT_EQ(cli->Wait(1500), 4) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.JCD")), stadix::JobFileBytes({line}));
    EXPECT_NE(cli->Err().find("Communication error!"), std::string::npos) << cli->Err();
}

TEST_F(CliTransferTest, FailsWhenThePortCannotBeOpened) {
    CliProcess cli(
        {"receive", "--port", "/dev/stadix-none", "--settings", Path("Commpara"), Path("out.JCD")},
        dir);
    EXPECT_EQ(cli.Wait(), 4);
    EXPECT_EQ(cli.Err(), "Unable to open /dev/stadix-none. Maybe /dev/stadix-none occupied.\n");
    EXPECT_FALSE(fs::exists(Path("out.JCD")));
}

// The job is gathered as Send gathers it: the incomplete row stays home.
TEST_F(CliTransferTest, SendsAJobRecordByRecord) {
    const std::vector<std::string> lines = {
        stadix::MakeRecordLine("P1", "TREE", "1234.567", "2345.678", "12.300"),
        stadix::MakeRecordLine("P2", "", "-1.500", "2.000", "3.000")};
    stadix::WriteFileAtomically(Path("in.JCD"), lines[0] + "\r\nP9\r\n" + lines[1] + "\r\n");
    auto cli = Start("send", {Path("in.JCD")});
    const Exchange first = instrument.Request(0xBB, EchoFault::WrongEcho);
    const Exchange again = instrument.Request(0xBB);
    const Exchange second = instrument.Request(0xB9);
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(first.block, CoordBlock(lines[0]));
    EXPECT_EQ(first.replies, "\xFF\xAA");
    EXPECT_EQ(again.block, CoordBlock(lines[0]));
    EXPECT_EQ(again.replies, kAcceptPoll);
    EXPECT_EQ(second.block, stadix::EncodeTextBlock12(lines[1], stadix::CoordUnit::Metre));
    EXPECT_EQ(second.replies, kAcceptEnd);
}

TEST_F(CliTransferTest, SendsRawRecordsAsStored) {
    std::string records = RawRecordBytes(stadix::kTypeInst, 'M');
    for (char fill : {'a', 'b', 'c'})
        records += RawRecordBytes(stadix::kTypeDist, fill);
    stadix::WriteFileAtomically(Path("in.TSM"), records);
    auto cli = Start("send", {"--unit", "us-ft", Path("in.TSM")});
    std::string sent;
    std::string replies;
    for (int i = 0; i < 4; ++i) {
        const Exchange exchange = instrument.Request(0xB8);
        sent += exchange.block;
        replies += exchange.replies;
    }
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(sent, records);
    EXPECT_EQ(replies, kAcceptPoll + kAcceptPoll + kAcceptPoll + kAcceptEnd);
}

// A send that does not finish fails: a silent instrument, or Ctrl+C.
TEST_F(CliTransferTest, FailsASendThatDoesNotFinish) {
    const std::string line = stadix::MakeRecordLine("P1", "", "1.000", "2.000", "3.000");
    stadix::WriteFileAtomically(Path("in.JCD"), line + "\r\n" + line + "\r\n");
    auto silent = Start("send", {"--idle", "0.4", Path("in.JCD")});
    EXPECT_EQ(silent->Wait(), 4);

    auto interrupted = Start("send", {Path("in.JCD")});
    EXPECT_EQ(instrument.Request(0xBB).replies, kAcceptPoll);
    interrupted->Interrupt();
    EXPECT_EQ(interrupted->Wait(), 4);
    EXPECT_EQ(instrument.Listen(100), std::string()); // no end byte
}

TEST_F(CliTransferTest, RefusesWhatCannotBeSent) {
    stadix::WriteFileAtomically(Path("empty.JCD"), "P1\r\n\r\n");
    stadix::WriteFileAtomically(Path("three.TSM"),
                                RawRecordBytes(stadix::kTypeInst, 'M') + std::string(84, 'x'));
    stadix::WriteFileAtomically(Path("bad.TSM"), std::string(4 * 42, 'x'));
    stadix::WriteFileAtomically(Path("job.txt"), "P1\r\n");
    for (const char* input : {"empty.JCD", "three.TSM"}) {
        auto cli = Start("send", {Path(input)});
        EXPECT_EQ(cli->Wait(), 2) << input;
        EXPECT_EQ(cli->Err(), "Nothing to send\n") << input;
    }
    for (const char* input : {"bad.TSM", "job.txt", "missing.JCD"}) {
        auto cli = Start("send", {Path(input)});
        EXPECT_EQ(cli->Wait(), 2) << input;
    }
    EXPECT_EQ(instrument.Listen(50), std::string()); // the port was never opened
}

TEST_F(CliTransferTest, RefusesOptionsThatKvrDoesNotTake) {
    stadix::WriteFileAtomically(Path("in.JCD"), "P1\r\n");
    const std::vector<std::vector<std::string>> refused = {
        {"--char", "7E"},    {"--stop", "2"},  {"--protocol", "ack"}, {"--format", "x"},
        {"--baud", "14400"}, {"--unit", "km"}, {"--idle", "0"},       {"--idle", "soon"}};
    for (std::vector<std::string> options : refused) {
        options.push_back(Path("in.JCD"));
        auto cli = Start("send", options);
        EXPECT_EQ(cli->Wait(), 1) << options[0] << " " << options[1];
    }
    CliProcess noPort({"receive", Path("out.JCD")}, dir);
    EXPECT_EQ(noPort.Wait(), 1);
    EXPECT_NE(noPort.Err().find("--port"), std::string::npos);
}

} // namespace
