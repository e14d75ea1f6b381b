// stadix-cli receive and send in the GTS and SSS formats, run as a program against the
// simulated GTS/SSS instrument on a pseudo-terminal.
#include "SimulatedTextInstrument.h"
#include "app/Data_format.h"
#include "app/FileIO.h"
#include "app/IniFile.h"
#include "app/JobFile.h"
#include "tests/support/CliPtyTest.h"
#include "transfer/Codecs.h"
#include "transfer/TransferSettings.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

namespace fs = std::filesystem;

using stadix::test::CliProcess;
using stadix::test::Pty;
using stadix::test::SimulatedTextInstrument;
using stadix::test::TextAnswer;
using stadix::test::TextFault;

namespace {

const std::string kAck(1, SimulatedTextInstrument::kAck);
const std::string kNak(1, SimulatedTextInstrument::kNak);
const std::string kXoffXon{SimulatedTextInstrument::kXoff, SimulatedTextInstrument::kXon};
const std::string kHeaderBlock = "\x02"
                                 "F00F000\x03\r\n";

const std::vector<std::string> kRecords = {
    stadix::MakeRecordLine("P1", "", "1234.567", "2345.678", "12.300"),
    stadix::MakeRecordLine("P2", "", "-1.500", "2.000", "3.000"),
    stadix::MakeRecordLine("LONGNAME", "", "0.001", "0.002", "-0.003")};

std::string GtsText(const std::vector<std::string>& records,
                    stadix::CoordUnit unit = stadix::CoordUnit::Metre) {
    std::string text;
    for (const std::string& record : records)
        text += stadix::EncodeGtsCoordLine(record, unit);
    return text;
}

class CliTextTransferTest : public stadix::test::CliPtyTest {
  protected:
    void WriteJob(const std::string& name, const std::vector<std::string>& lines) {
        stadix::WriteFileAtomically(Path(name), stadix::JoinLinesCrLf(lines));
    }

    SimulatedTextInstrument instrument{pty};
};

TEST_F(CliTextTransferTest, ReceivesAcknowledgedGtsCoordinatesAsAJobFile) {
    const std::vector<std::string> pieces = SimulatedTextInstrument::GtsPieces(GtsText(kRecords));
    auto cli = Start("receive", {"--format", "gts", "--protocol", "ack", Path("out.JCD")});
    ASSERT_TRUE(instrument.AwaitEnq(5000));
    EXPECT_EQ(instrument.SendGtsBlock(pieces[0], 0, TextFault::WrongCheck), kNak);
    EXPECT_EQ(instrument.SendGtsBlock(pieces[0], 0), kAck);
    EXPECT_EQ(instrument.SendGtsBlock(pieces[1], 1), kAck);
    EXPECT_EQ(instrument.SendEndOfTransmission(), kAck);
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.JCD")), stadix::JobFileBytes(kRecords));
    EXPECT_NE(cli->Err().find("Record blocks received:   2\n"), std::string::npos) << cli->Err();
    EXPECT_NE(cli->Err().find("coordinates: 3 records\n"), std::string::npos) << cli->Err();
}

// The format and the protocol come from the settings file when no option names them.
TEST_F(CliTextTransferTest, ReceivesOneWayGtsAsTheSettingsFileSays) {
    stadix::WriteSettingValue(Path("Commpara"), stadix::kDataFormatSection, stadix::kDataFormatKey,
                              1);
    stadix::WriteSettingValue(Path("Commpara"), stadix::kGtsAckSection, stadix::kGtsAckKey, 1);
    const std::vector<std::string> pieces = SimulatedTextInstrument::GtsPieces(GtsText(kRecords));
    auto cli = Start("receive", {Path("out.jcd")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(instrument.SendGtsBlock(pieces[0], 0, TextFault::Malformed), kXoffXon);
    EXPECT_EQ(instrument.SendGtsBlock(pieces[0], 0), kXoffXon);
    EXPECT_EQ(instrument.SendGtsBlock(pieces[1], 1), kXoffXon);
    EXPECT_EQ(instrument.SendEndOfTransmission(), kAck);
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.jcd")), stadix::JobFileBytes(kRecords));
}

TEST_F(CliTextTransferTest, ReceivesSssMeasurementsAsText) {
    auto cli = Start("receive", {"--format", "sss", Path("out.txt")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(instrument.SendSssLine("JOB     SITE1,"), kXoffXon);
    EXPECT_EQ(instrument.SendSssLine("STN     A1,1.500,", TextFault::ForeignCharacter), kXoffXon);
    EXPECT_EQ(instrument.SendSssLine("STN     A1,1.500,"), kXoffXon);
    EXPECT_EQ(instrument.SendEndOfTransmission(), kAck);
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.txt")), "JOB     SITE1,\r\nSTN     A1,1.500,\r\n");
    EXPECT_NE(cli->Err().find("text: 2 lines\n"), std::string::npos) << cli->Err();
}

// A line that falls silent ends the reception after --idle, which still succeeds; SSS
// lines that are not points are dropped from the job.
TEST_F(CliTextTransferTest, ReceivesSssCoordinatesUntilTheLineFallsSilent) {
    auto cli = Start("receive", {"--format", "sss", "--idle", "0.5", Path("out.JCD")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(instrument.SendSssLine("P1,2345.678,1234.567,12.3,TREE"), kXoffXon);
    EXPECT_EQ(instrument.SendSssLine("END"), kXoffXon);
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.JCD")),
              stadix::JobFileBytes(
                  {stadix::MakeRecordLine("P1", "TREE", "1234.567", "2345.678", "12.300")}));
    EXPECT_NE(cli->Err().find("coordinates: 1 records\n"), std::string::npos) << cli->Err();
}

// Ctrl+C keeps what arrived; with nothing arrived, or after a hang-up, the transfer
// has failed, and what arrived before a hang-up is still written.
TEST_F(CliTextTransferTest, AnInterruptedReceptionKeepsWhatArrived) {
    const std::vector<std::string> pieces =
        SimulatedTextInstrument::GtsPieces(GtsText({kRecords[0], kRecords[1]}));
    auto nothing = Start("receive", {"--format", "gts", Path("none.JCD")});
    ASSERT_TRUE(instrument.AwaitEnq(5000));
    nothing->Interrupt();
    EXPECT_EQ(nothing->Wait(), 4);
    EXPECT_FALSE(fs::exists(Path("none.JCD")));

    Pty secondLine;
    SimulatedTextInstrument second(secondLine);
    auto interrupted = Start("receive", {"--format", "gts", Path("out.JCD")});
    ASSERT_TRUE(instrument.AwaitEnq(5000));
    EXPECT_EQ(instrument.SendGtsBlock(pieces[0], 0), kAck);
    interrupted->Interrupt();
    EXPECT_EQ(interrupted->Wait(), 0) << interrupted->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.JCD")),
              stadix::JobFileBytes({kRecords[0], kRecords[1]}));

    CliProcess hungUp({"receive", "--port", secondLine.DevicePath(), "--format", "sss",
                       "--settings", Path("Commpara"), Path("out.txt")},
                      dir);
    ASSERT_TRUE(WaitForOpenPort(secondLine));
    EXPECT_EQ(second.SendSssLine("JOB     SITE1,"), kXoffXon);
    second.SendSssLine("STN     A1", TextFault::HangUp);
    EXPECT_EQ(hungUp.Wait(), 4) << hungUp.Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.txt")), "JOB     SITE1,\r\n");
    EXPECT_NE(hungUp.Err().find("text: 1 lines\n"), std::string::npos) << hungUp.Err();
}

// Acknowledged GTS in international feet: the header blocks, the data blocks with the
// last one padded, and the end text.
TEST_F(CliTextTransferTest, SendsAJobAsAcknowledgedGtsBlocks) {
    WriteJob("in.JCD", {kRecords[0], "P9", kRecords[1], kRecords[2]});
    auto cli = Start("send",
                     {"--format", "gts", "--protocol", "ack", "--unit", "intl-ft", Path("in.JCD")});
    const std::vector<std::string> units = instrument.ReceiveTransfer(true, true);
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    const std::vector<std::string> pieces =
        SimulatedTextInstrument::GtsPieces(GtsText(kRecords, stadix::CoordUnit::InternationalFoot));
    ASSERT_EQ(units.size(), 5u);
    EXPECT_EQ(units[0], kHeaderBlock);
    EXPECT_EQ(units[2], SimulatedTextInstrument::GtsBlock(pieces[0], 0));
    EXPECT_EQ(units[3], SimulatedTextInstrument::GtsBlock(pieces[1], 1));
    EXPECT_EQ(units[4], SimulatedTextInstrument::GtsEndText());
    EXPECT_NE(cli->Err().find("Records transferred:   3/3\n"), std::string::npos) << cli->Err();
}

TEST_F(CliTextTransferTest, SendsAJobAsSssLines) {
    WriteJob("in.jcd", {stadix::MakeRecordLine("P1", "TREE", "100", "200", "0"), kRecords[1]});
    auto cli = Start("send", {"--format", "sss", Path("in.jcd")});
    const std::vector<std::string> units = instrument.ReceiveTransfer(false, false);
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(units, (std::vector<std::string>{"P1,200.000,100.000,0.000,TREE\r\n",
                                               "P2,2.000,-1.500,3.000,\r\n", "\x04\r\n"}));
}

// Ctrl+C while the instrument holds the line with XOFF, and an instrument that never
// answers the header: both end as Cancel does, with the end text, and fail.
TEST_F(CliTextTransferTest, ASendThatDoesNotFinishFails) {
    WriteJob("in.JCD", kRecords);
    auto paused = Start("send", {"--format", "sss", Path("in.JCD")});
    EXPECT_EQ(instrument.ReceiveUnit(), "P1,2345.678,1234.567,12.300,\r\n");
    instrument.Answer(TextAnswer::XoffOnly);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    paused->Interrupt();
    EXPECT_EQ(instrument.ReceiveUnit(), SimulatedTextInstrument::SssEndText());
    EXPECT_EQ(paused->Wait(), 4) << paused->Err();
    EXPECT_EQ(instrument.Listen(100), std::string());

    auto silent =
        Start("send", {"--format", "gts", "--protocol", "ack", "--idle", "0.5", Path("in.JCD")});
    EXPECT_EQ(instrument.ReceiveUnit(), kHeaderBlock);
    EXPECT_EQ(instrument.ReceiveUnit(), SimulatedTextInstrument::SssEndText());
    EXPECT_EQ(silent->Wait(), 4);
    EXPECT_EQ(silent->Err(), "No answer from the instrument\n");
}

TEST_F(CliTextTransferTest, RefusesWhatGtsAndSssCannotTake) {
    stadix::WriteFileAtomically(Path("in.TSM"), std::string(4 * 42, '\xA8'));
    WriteJob("in.JCD", kRecords);
    auto measurement = Start("send", {"--format", "gts", Path("in.TSM")});
    EXPECT_EQ(measurement->Wait(), 2);
    EXPECT_EQ(measurement->Err(), "Measurement data cannot be sent in the GTS or SSS format.\n");
    const std::vector<std::vector<std::string>> refused = {{"--format", "sss", "--protocol", "ack"},
                                                           {"--format", "gts", "--protocol", "nak"},
                                                           {"--format", "gts", "--char", "8E"},
                                                           {"--format", "sss", "--stop", "1.5"}};
    for (std::vector<std::string> options : refused) {
        options.push_back(Path("in.JCD"));
        auto cli = Start("send", options);
        EXPECT_EQ(cli->Wait(), 1) << options[1] << " " << options[2];
    }
    EXPECT_EQ(instrument.Listen(50), std::string()); // the port was never opened

    CliProcess noPort({"receive", "--port", "/dev/stadix-none", "--format", "sss", "--settings",
                       Path("Commpara"), Path("out.JCD")},
                      dir);
    EXPECT_EQ(noPort.Wait(), 4);
    EXPECT_EQ(noPort.Err(), "Unable to open /dev/stadix-none. Maybe /dev/stadix-none occupied.\n");
    EXPECT_FALSE(fs::exists(Path("out.JCD")));
}

} // namespace
