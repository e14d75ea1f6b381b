// stadix-cli receive and send, run as a program against the simulated instrument on a
// pseudo-terminal: one receive and one send per protocol, and the exit codes and files
// of transfers that end early. The protocols themselves are the engines', tested there.
#include "SimulatedInstrument.h"
#include "SimulatedTextInstrument.h"
#include "base/FileIO.h"
#include "base/IniFile.h"
#include "job/JobFile.h"
#include "job/RecordLine.h"
#include "rawconv/RawRecords.h"
#include "tests/support/CliPtyTest.h"
#include "tests/support/HexBytes.h"
#include "tests/support/KvrBytes.h"
#include "transfer/TransferSettings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <regex>
#include <sstream>
#include <thread>
#include <tuple>

namespace fs = std::filesystem;

using namespace stadix::test;

namespace {

const std::string kAck(1, SimulatedTextInstrument::kAck);
const std::string kXoffXon{SimulatedTextInstrument::kXoff, SimulatedTextInstrument::kXon};

const std::vector<std::string> kRecords = {
    stadix::MakeRecordLine("P1", "", "1234.567", "2345.678", "12.300"),
    stadix::MakeRecordLine("P2", "", "-1.500", "2.000", "3.000"),
    stadix::MakeRecordLine("LONGNAME", "", "0.001", "0.002", "-0.003")};

// The records as GTS coordinate text, in metres and in international feet.
const std::string kGtsMetres = "_+P1        _ x+00001234567_ y+00002345678_ z+00000012300"
                               "_+P2        _ x-00000001500_ y+00000002000_ z+00000003000"
                               "_+LONGNAME  _ x+00000000001_ y+00000000002_ z-00000000003";
const std::string kGtsFeet = "_+P1        _ x+00000376296_ y+00000714963_ z+00000003749"
                             "_+P2        _ x-00000000457_ y+00000000610_ z+00000000914"
                             "_+LONGNAME  _ x+00000000000_ y+00000000001_ z-00000000001";

class CliTransferTest : public CliPtyTest {
  protected:
    void WriteJob(const std::string& name, const std::vector<std::string>& lines) {
        stadix::WriteFileAtomically(Path(name), stadix::JoinLinesCrLf(lines));
    }
    bool ErrSays(const CliProcess& cli, const std::string& text) const {
        return cli.Err().find(text) != std::string::npos;
    }
    // The log holds exactly the bytes that crossed the line, each way (the form of its
    // lines is the line log's test); what the program sent last is taken off the line first.
    void ExpectLogOfTheLine(const std::string& log) {
        pty.Read(1 << 16, 100);
        std::string fromInstrument, toInstrument;
        for (const std::string& line : stadix::ReadFileLines(log)) {
            const std::size_t arrow = line.find_first_of("<>");
            (line[arrow] == '<' ? fromInstrument : toInstrument) += Hex(line.substr(arrow + 1));
        }
        EXPECT_EQ(fromInstrument, pty.SentByInstrument());
        EXPECT_EQ(toInstrument, pty.ReceivedByInstrument());
    }

    SimulatedInstrument instrument{pty};
    SimulatedTextInstrument text{pty};
};

// On a line paced at 600 baud a raw record and its checksum take 0.7 s to come, longer
// than the instrument's half second: it is still taken at the first offer. A silent line
// ends the reception, which still succeeds when something arrived. A line log that cannot
// be created is reported once, and the transfer goes on without it.
TEST_F(CliTransferTest, ReceivesKvrRawRecordsOnASlowLineUntilItFallsSilentWithoutALog) {
    const std::string records =
        RawRecordBytes(stadix::kTypeInst, 'M') + RawRecordBytes(stadix::kTypeDist, 'd');
    auto cli = Start("receive", {"--baud", "600", "--idle", "0.5", "--log",
                                 Path("missing/line.log"), Path("out.tsm")});
    ASSERT_TRUE(WaitForOpenPort(pty, B600));
    instrument.SetBaudRate(600);
    EXPECT_EQ(instrument.Offer(0xA8, records.substr(0, 42)), kGoAheadAccept);
    EXPECT_EQ(instrument.Offer(0xA8, records.substr(42)), kGoAheadAccept);
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.tsm")), records);
    const std::string err = cli->Err();
    EXPECT_TRUE(ErrSays(*cli, "raw records: 2\n")) << err;
    EXPECT_TRUE(
        ErrSays(*cli, "The line log could not be created.\nCannot create file \"" +
                          Path("missing/line.log") +
                          "\". No such file or directory\nThe transfer goes on without it.\n"))
        << err;
    EXPECT_EQ(err.find("line log"), err.rfind("line log")) << err;
}

// Something arrived: Ctrl+C, or a request to stop or a hang-up of the terminal, writes it
// and succeeds; when its file cannot be written, it is kept in the state folder. Nothing
// arrived: a failure, and nothing written.
TEST_F(CliTransferTest, AReceptionEndedEarlyWritesWhatArrived) {
    const std::string job = kRecords[0] + "\r\n";
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        auto kept = Start("receive", {Path("kept.JCD")});
        ASSERT_TRUE(WaitForOpenPort(pty));
        EXPECT_EQ(instrument.Offer(0xAA, CoordBlockBytes(kRecords[0])), kGoAheadAccept);
        kept->Signal(signal);
        EXPECT_EQ(kept->Wait(), 0) << signal << kept->Err();
        EXPECT_EQ(stadix::ReadFileBytes(Path("kept.JCD")), job) << signal;
        fs::remove(Path("kept.JCD"));
    }

    ::setenv("XDG_STATE_HOME", Path("state").c_str(), 1);
    auto unwritable = Start("receive", {"--idle", "0.3", Path("missing/out.JCD")});
    ::unsetenv("XDG_STATE_HOME");
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(instrument.Offer(0xAA, CoordBlockBytes(kRecords[0])), kGoAheadAccept);
    EXPECT_EQ(unwritable->Wait(), 3);
    const std::smatch kept = [&] {
        static const std::regex kKept("\nThe received data is kept in (.*/state/stadix/"
                                      "received-\\d{8}-\\d{6}\\.JCD)\\.\\n");
        std::smatch found;
        const std::string err = unwritable->Err();
        std::regex_search(err, found, kKept);
        return found;
    }();
    ASSERT_EQ(kept.size(), 2u) << unwritable->Err();
    EXPECT_EQ(stadix::ReadFileBytes(kept[1]), job);

    auto silent = Start("receive", {"--format", "sss", "--idle", "0.3", Path("out.JCD")});
    EXPECT_EQ(silent->Wait(), 4);
    EXPECT_FALSE(fs::exists(Path("out.JCD")));
}

// A line error fails the reception but keeps what arrived: KVR and the text formats each
// end their own way.
TEST_F(CliTransferTest, AKvrReceptionBrokenByTheLineKeepsTheRecords) {
    auto cli = Start("receive", {Path("out.JCD")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(instrument.Offer(0xAA, CoordBlockBytes(kRecords[0])), kGoAheadAccept);
    instrument.Offer(0xAA, CoordBlockBytes(kRecords[1]), OfferFault::HangUp);
    EXPECT_EQ(cli->Wait(), 4) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.JCD")), stadix::JobFileBytes({kRecords[0]}));
}

TEST_F(CliTransferTest, AnSssReceptionBrokenByTheLineKeepsTheText) {
    auto cli = Start("receive", {"--format", "sss", Path("out.txt")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(text.SendSssLine("JOB     SITE1,"), kXoffXon);
    EXPECT_EQ(text.SendSssLine("STN     A1,1.500,"), kXoffXon);
    text.SendSssLine("STN     A2", TextFault::HangUp);
    EXPECT_EQ(cli->Wait(), 4) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.txt")), "JOB     SITE1,\r\nSTN     A1,1.500,\r\n");
    EXPECT_TRUE(ErrSays(*cli, "text: 2 lines\n") && ErrSays(*cli, "the line was hung up\n"))
        << cli->Err();
}

TEST_F(CliTransferTest, SendsKvrRawRecordsAsStored) {
    std::string records = RawRecordBytes(stadix::kTypeInst, 'M');
    for (char fill : {'a', 'b', 'c'})
        records += RawRecordBytes(stadix::kTypeDist, fill);
    stadix::WriteFileAtomically(Path("in.TSM"), records);
    auto cli = Start("send", {"--unit", "us-ft", Path("in.TSM")});
    std::string sent;
    for (int i = 0; i < 4; ++i)
        sent += instrument.Request(0xB8).block;
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(sent, records);
}

// The format and the protocol come from the settings file when no option names them.
TEST_F(CliTransferTest, ReceivesGtsCoordinatesAsTheSettingsFileSays) {
    stadix::WriteSettingValue(Path("Commpara"), stadix::kDataFormatSection, stadix::kDataFormatKey,
                              1);
    stadix::WriteSettingValue(Path("Commpara"), stadix::kGtsAckSection, stadix::kGtsAckKey, 1);
    const std::vector<std::string> pieces = SimulatedTextInstrument::GtsPieces(kGtsMetres);
    auto cli = Start("receive", {Path("out.jcd")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(text.SendGtsBlock(pieces[0], 0), kXoffXon);
    EXPECT_EQ(text.SendGtsBlock(pieces[1], 1), kXoffXon);
    EXPECT_EQ(text.SendEndOfTransmission(), kAck);
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.jcd")), stadix::JobFileBytes(kRecords));
    EXPECT_TRUE(ErrSays(*cli, "coordinates: 3 records\n")) << cli->Err();
}

// A send that does not finish fails: a signal to stop ends it as Cancel does (the SSS end text
// while paused), and a silent instrument is named.
TEST_F(CliTransferTest, ASendThatDoesNotFinishFails) {
    WriteJob("in.JCD", kRecords);
    auto paused = Start("send", {"--format", "sss", Path("in.JCD")});
    EXPECT_EQ(text.ReceiveUnit(), "P1,2345.678,1234.567,12.300,\r\n");
    text.Answer(TextAnswer::XoffOnly);
    std::this_thread::sleep_for(std::chrono::milliseconds(600));
    paused->Signal(SIGTERM);
    EXPECT_EQ(text.ReceiveUnit(), SimulatedTextInstrument::SssEndText());
    EXPECT_EQ(paused->Wait(), 4) << paused->Err();
    EXPECT_EQ(paused->Err(), "Records transferred:   1/3\nThe send was cancelled.\n");

    auto silent =
        Start("send", {"--format", "gts", "--protocol", "ack", "--idle", "0.5", Path("in.JCD")});
    EXPECT_EQ(silent->Wait(), 4);
    EXPECT_EQ(silent->Err(), "No answer from the instrument\n");
}

// Rejected blocks, noise and the end byte: the coordinates are written as a job file at
// the end byte, and the log holds every byte both ways, the bytes cleared away before a
// block too.
TEST_F(CliTransferTest, ReceivesKvrCoordinatesAndLogsEveryByteOnTheLine) {
    auto cli = Start("receive", {"--log", Path("line.log"), Path("out.JCD")});
    ASSERT_TRUE(WaitForOpenPort(pty));
    EXPECT_EQ(instrument.Offer(0xAA, CoordBlockBytes(kRecords[0])), kGoAheadAccept);
    instrument.Offer(0xAA, CoordBlockBytes(kRecords[1]), OfferFault::WrongChecksum);
    instrument.SendNoise("\x01\x02", 100);
    EXPECT_EQ(instrument.Offer(0xAA, CoordBlockBytes(kRecords[1])), kGoAheadAccept);
    instrument.SendEnd();
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    EXPECT_EQ(stadix::ReadFileBytes(Path("out.JCD")),
              stadix::JobFileBytes({kRecords[0], kRecords[1]}));
    EXPECT_TRUE(ErrSays(*cli, "coordinates: 2 records\n")) << cli->Err();
    ExpectLogOfTheLine(Path("line.log"));
}

// Acknowledged GTS in international feet, the incomplete row left home: after the two
// header blocks, the data blocks with the last one padded, and the end text. A send runs
// on a worker thread of its own, which logs as the window thread does.
TEST_F(CliTransferTest, SendsAJobAsAcknowledgedGtsBlocksAndLogsEveryByte) {
    WriteJob("in.JCD", {kRecords[0], "P9", kRecords[1], kRecords[2]});
    auto cli = Start("send", {"--format", "gts", "--protocol", "ack", "--unit", "intl-ft", "--log",
                              Path("line.log"), Path("in.JCD")});
    const std::vector<std::string> units = text.ReceiveTransfer(true, true);
    EXPECT_EQ(cli->Wait(), 0) << cli->Err();
    ASSERT_EQ(units.size(), 5u);
    EXPECT_EQ(units[2], "\x02" + kGtsFeet.substr(0, 128) + "0054\x03\r\n");
    EXPECT_EQ(units[3], "\x02" + kGtsFeet.substr(128) + std::string(85, ' ') + "1119\x03\r\n");
    EXPECT_EQ(units[4], "\x02\x04\x03\r\n");
    EXPECT_TRUE(ErrSays(*cli, "Records transferred:   3/3\n")) << cli->Err();
    ExpectLogOfTheLine(Path("line.log"));
}

// Refused before the port is opened.
TEST_F(CliTransferTest, RefusesWhatCannotBeSent) {
    WriteJob("empty.JCD", {"P1", ""});
    stadix::WriteFileAtomically(Path("three.TSM"),
                                RawRecordBytes(stadix::kTypeInst, 'M') + std::string(84, 'x'));
    stadix::WriteFileAtomically(Path("bad.TSM"), std::string(4 * 42, 'x'));
    WriteJob("job.txt", {"P1"});
    const std::tuple<const char*, const char*, const char*> refused[] = {
        {"kvr", "empty.JCD", "Nothing to send\n"},
        {"kvr", "three.TSM", "Nothing to send\n"},
        {"gts", "bad.TSM", "Measurement data cannot be sent in the GTS or SSS format.\n"},
        {"kvr", "bad.TSM", ""},
        {"kvr", "job.txt", ""},
        {"kvr", "missing.JCD", ""}};
    for (const auto& [format, input, message] : refused) {
        auto cli = Start("send", {"--format", format, Path(input)});
        EXPECT_EQ(cli->Wait(), 2) << input;
        if (*message != '\0') {
            EXPECT_EQ(cli->Err(), message) << input;
        }
    }
    EXPECT_EQ(instrument.Listen(50), std::string());
}

TEST_F(CliTransferTest, RefusesOptionsThatDoNotFit) {
    WriteJob("in.JCD", kRecords);
    for (const char* refused :
         {"--char 7E", "--stop 2", "--protocol ack", "--format x", "--baud 14400", "--unit km",
          "--idle 0", "--idle soon", "--format gts --char 8E", "--format gts --protocol nak",
          "--format sss --stop 1.5", "--log -"}) {
        std::istringstream words(refused);
        std::vector<std::string> options(std::istream_iterator<std::string>(words), {});
        options.push_back(Path("in.JCD"));
        EXPECT_EQ(Start("send", options)->Wait(), 1) << refused;
    }
    CliProcess noPort({"receive", Path("out.JCD")}, dir);
    EXPECT_EQ(noPort.Wait(), 1);
    EXPECT_TRUE(ErrSays(noPort, "--port"));
}

} // namespace
