#include "transfer/GtsSssTransfer.h"

#include "base/Errors.h"
#include "job/RecordLine.h"
#include "tests/support/ScriptedTextLine.h"

#include <gtest/gtest.h>

namespace stadix {
namespace {

using test::ScriptedLine;

// The protocol's bytes, written out here rather than taken from the engine.
constexpr char kEot = 0x04, kEnq = 0x05, kAck = 0x06, kNak = 0x15, kXon = 0x11, kXoff = 0x13;
const std::string kHeaderBlock = "\002F00F000\003\r\n";
const std::string kSecondBlock = "\00212345678  +00001.000000100000-000017S069\003\r\n";
const std::string kEndText = "\x02\x04\x03\r\n";

std::string Record(const std::string& pt, const std::string& n = "1", const std::string& e = "2",
                   const std::string& z = "3") {
    return MakeRecordLine(pt, "", n, e, z);
}

std::string Piece(std::string text) {
    text.resize(128, ' ');
    return text;
}

// A block framed by hand: STX, the piece, the block digit and the check, ETX, CR, LF.
std::string Framed(const std::string& text, const std::string& digitAndCheck) {
    return "\x02" + Piece(text) + digitAndCheck + "\x03\r\n";
}

const std::string kCoordPiece = Piece("_+P1        _ x+00000100000_ y+00000200000_ z+00000000000");
const std::string kCoordBlock0 = Framed(kCoordPiece, "0025");
const std::string kCoordBlock1 = Framed(kCoordPiece, "1024");
const std::string kEotLine = std::string{kEot, '\r', '\n'};

// The instrument answers the n-th write with replies[n] 5 ms later; a NUL is no answer.
void Answer(ScriptedLine& line, const std::string& replies) {
    line.instrument = [&line, replies](const std::string&) {
        const std::size_t n = line.writes.size() - 1;
        if (n < replies.size() && replies[n] != 0)
            line.Send(std::string(1, replies[n]), 5);
    };
}

void Receive(ScriptedLine& line, TextFormat format, bool acknowledged) {
    GtsSssReceiver(line, line, format, acknowledged).Run();
}

void Send(ScriptedLine& line, TextFormat format, bool acknowledged,
          const std::vector<std::string>& records) {
    GtsSssSender(line, line, format, acknowledged, CoordUnit::Metre, records).Run();
}

// The units complete so far.
std::vector<std::string> TakeUnits(ReceiveAccumulator& accumulator) {
    std::vector<std::string> units;
    for (std::string unit; accumulator.TakeUnit(unit);)
        units.push_back(unit);
    return units;
}

// GTS blocks carry a block digit and an XOR check, and are refused for any fault; SSS
// takes printable text and line ends only.
TEST(GtsSssCodec, ReceivedUnitsAreCheckedByFormat) {
    // 'A' ^ 127 blanks (odd count: one blank left) ^ '0' = 0x41 ^ 0x20 ^ 0x30 = 0x51 = 81.
    const std::string good = Framed("A", "0081");
    std::string bad[] = {good, good, good, good.substr(0, 5) + good.substr(6)};
    bad[0][132] = '2'; // wrong check
    bad[1][133] = ' '; // no ETX
    bad[2][0] = ' ';   // no STX
    EXPECT_EQ(CheckReceivedUnit(TextFormat::Gts, good), UnitCheck::Accepted);
    for (const std::string& unit : bad)
        EXPECT_EQ(CheckReceivedUnit(TextFormat::Gts, unit), UnitCheck::Rejected);
    EXPECT_EQ(CheckReceivedUnit(TextFormat::Gts, good.substr(0, 135)), UnitCheck::Incomplete);
    EXPECT_EQ(CheckReceivedUnit(TextFormat::Gts, kEndText), UnitCheck::EndOfTransmission);
    EXPECT_EQ(CheckReceivedUnit(TextFormat::Sss, kEotLine), UnitCheck::EndOfTransmission);
    EXPECT_EQ(CheckReceivedUnit(TextFormat::Sss, "P1,200.000,100.000,0.000,{~}\r\n"),
              UnitCheck::Accepted);
    EXPECT_EQ(CheckReceivedUnit(TextFormat::Sss, "P1\r,2\n00\r\n"), UnitCheck::Accepted);
    EXPECT_EQ(CheckReceivedUnit(TextFormat::Sss, "P1\t,200\r\n"), UnitCheck::Rejected);
    EXPECT_EQ(CheckReceivedUnit(TextFormat::Sss, "P\xB0\xA1,200\r\n"), UnitCheck::Rejected);
    EXPECT_EQ(CheckReceivedUnit(TextFormat::Sss, std::string("P\0,1\r\n", 6)), UnitCheck::Rejected);
    EXPECT_EQ(CheckReceivedUnit(TextFormat::Sss, "P1,200\r"), UnitCheck::Incomplete);
}

TEST(GtsSssCodec, TheFirstBlockTellsCoordinatesAndTextSplitsIntoLines) {
    EXPECT_FALSE(HoldsCoordinates(TextFormat::Gts, "_+P1 _ x+1 _ y+2 _ Z+3"));
    EXPECT_FALSE(HoldsCoordinates(TextFormat::Sss, "STN     P1,1.5,\r\n"));
    EXPECT_FALSE(HoldsCoordinates(TextFormat::Sss, "x\r\nHV      1,2\r\n"));
    // Received text starts a new line and splits at every line end.
    std::vector<std::string> lines{"old"};
    AppendTextLines(lines, "a\r\nb\rc\nd");
    AppendTextLines(lines, "\x02x\x03\r\n");
    AppendTextLines(lines, "");
    AppendTextLines(lines, "\r\n");
    EXPECT_EQ(lines, (std::vector<std::string>{"old", "a", "b", "c", "d", "\x02x\x03", ""}));
}

TEST(GtsSssAccumulator, UnitsAreFoundWhereverTheInputIsSplitOrGlued) {
    const std::string stream = kCoordBlock0 + "noise\r\n" + kCoordBlock1 + "tail";
    for (std::size_t chunk : {1u, 2u, 7u, 135u, 136u, 137u, 1000u}) {
        ReceiveAccumulator accumulator;
        std::vector<std::string> units;
        for (std::size_t i = 0; i < stream.size(); i += chunk) {
            accumulator.Add(std::string_view(stream).substr(i, chunk));
            for (const std::string& unit : TakeUnits(accumulator))
                units.push_back(unit);
        }
        EXPECT_EQ(units, (std::vector<std::string>{kCoordBlock0, "noise\r\n", kCoordBlock1}))
            << chunk;
        EXPECT_EQ(accumulator.Size(), 4u);
    }
}

TEST(GtsSssAccumulator, OverlongLinesAreDroppedWhereverTheirLineEndArrives) {
    const std::string overlong(kMaxUnitLength + 1, 'x');
    ReceiveAccumulator accumulator;
    // A line end in the same batch, then one in the next batch, then none yet.
    accumulator.Add("a\r\n" + overlong + "\r\nb\r\n" + overlong);
    EXPECT_EQ(TakeUnits(accumulator), (std::vector<std::string>{"a\r\n", "b\r\n"}));
    EXPECT_LE(accumulator.Size(), kMaxUnitLength);
    accumulator.Add("tail\r\nc\r\n");
    EXPECT_EQ(TakeUnits(accumulator), (std::vector<std::string>{"c\r\n"}));
    EXPECT_TRUE(accumulator.TakeOverflow());
    EXPECT_FALSE(accumulator.TakeOverflow());
    EXPECT_EQ(accumulator.Size(), 0u);
}

// ENQ again after 4 s and the 34 ms that it and an answer take at 600 baud.
TEST(GtsReceive, AcknowledgedReceiveAsksEvery4sAnswersEachBlockAndEndsWithAck) {
    ScriptedLine line;
    const std::string third = Framed("_+P2 no height", "1057");
    std::string bad = kCoordBlock1;
    bad[131] = '9';
    line.Send(kCoordBlock0, 9000);
    line.Send(bad, 9500);
    line.Send(third, 10000);
    line.Send(kEotLine, 10500);
    line.settings.baudRate = BaudRate::Br600;
    Receive(line, TextFormat::Gts, true);

    EXPECT_EQ(line.TimesOf(kEnq), (std::vector<std::int64_t>{0, 4034, 8068}));
    EXPECT_EQ(line.TimesOf(kNak), (std::vector<std::int64_t>{9500}));
    EXPECT_EQ(line.TimesOf(kAck), (std::vector<std::int64_t>{9000, 10000, 10500}));
    EXPECT_EQ(line.received, kCoordBlock0 + third);
    EXPECT_TRUE(line.lines.size() == 2 && line.coordView && line.ended);
    EXPECT_EQ(line.counters.back(), "Record blocks received:   2");
}

TEST(GtsReceive, OneWayTakesGluedAndSplitBlocksAndTheFirstBlockDecidesTheKind) {
    ScriptedLine line;
    const std::string first = Framed("_+P1 _ x+1 _ y+2", "0039");
    const std::string glued = "junk\r\n" + first + kCoordBlock1;
    line.Send(glued.substr(0, 200), 10);
    line.Send(glued.substr(200) + kEotLine, 20);
    Receive(line, TextFormat::Gts, false);

    EXPECT_EQ(line.received, first + kCoordBlock1);
    EXPECT_FALSE(line.coordView);
    EXPECT_EQ(line.counters.back(), "Record blocks received:   2");
    EXPECT_EQ(line.written, (std::string{kXoff, kXon, kXoff, kXon, kAck}));
}

// An endless line is rejected once, bad lines are dropped, and a stop keeps the text.
// SSS is never acknowledged: one XOFF and XON around each batch.
TEST(SssReceive, AnEndlessLineOrABadOneIsDroppedAndTheOthersKept) {
    ScriptedLine line;
    for (int i = 0; i < 40; ++i)
        line.Send(std::string(4000, 'A'), 10 + i);
    line.Send("AAAA\r\nP1,200,100,5,TREE\r\nbad\x01line\r\nJOB     MINE\r\nunfin", 100);
    line.stopAtMs = 5000;
    Receive(line, TextFormat::Sss, true);

    EXPECT_EQ(line.lines, (std::vector<std::string>{"P1,200,100,5,TREE", "JOB     MINE"}));
    EXPECT_TRUE(line.coordView && !line.ended);
    EXPECT_EQ(line.counters.back(), "Records received:   2");
    EXPECT_EQ(line.written, (std::string{kXon, kXoff, kXon}));
    EXPECT_LE(line.now, 5000 + kStopCheckMs);
}

// One way: two header blocks, each followed by 400 ms, then the records run on across
// blocks of 128 characters, the last one padded; a block is done at XON or after the
// waits run out. At 600 baud the header takes 184 ms to go out, the second block 734 ms,
// a data block and its reply 2284 ms, and each wait begins after them.
TEST(GtsSend, OneWaySendsHeaderAndRecordsAcrossBlocksThenTheEndText) {
    ScriptedLine line;
    Answer(line, std::string(3, 0) + std::string(11, kXon));
    std::vector<std::string> records;
    std::string data;
    for (int i = 0; i < 25; ++i) {
        const std::string n = std::to_string(i);
        records.push_back(Record("P" + n, n));
        data += "_+" + ("P" + n).append(9 - n.size(), ' ') + "_ x+" +
                std::string(8 - n.size(), '0') + n + "000_ y+00000002000_ z+00000003000";
    }
    line.settings.baudRate = BaudRate::Br600;
    Send(line, TextFormat::Gts, false, records);

    // 25 x 57 = 1425 characters: eleven full blocks and one of 17 characters.
    std::string expected = kHeaderBlock + kSecondBlock;
    const char* checks[] = {"0089", "1015", "2114", "3030", "4079", "5118",
                            "6025", "7026", "8062", "9023", "0031", "1012"};
    for (int block = 0; block < 12; ++block)
        expected += Framed(data.substr(block * 128, 128), checks[block]);
    EXPECT_EQ(line.written, expected + kEndText);
    ASSERT_EQ(line.writes.size(), 15u);
    EXPECT_EQ(line.writes[1].atMs, 184 + 400);
    EXPECT_EQ(line.writes[2].atMs, line.writes[1].atMs + 734 + 400);
    EXPECT_EQ(line.writes[3].atMs, line.writes[2].atMs + 2284 + 8 * 50);
    EXPECT_EQ(line.writes[14].atMs, line.writes[3].atMs + 11 * (2284 + 50));
    EXPECT_EQ(line.counters.size(), 12u);
    EXPECT_EQ(line.counters[1], "Records transferred:   5/25");
    EXPECT_EQ(line.counters.back(), "Records transferred:   25/25");
    EXPECT_TRUE(line.ended);
}

// The silence is counted from when the block and its answer have crossed the line: 2284
// ms at 600 baud.
TEST(GtsSend, AcknowledgedSendRepeatsOnNakAndAfter4sOfSilence) {
    ScriptedLine line;
    // Header and second block: NAK, then ACK. The data block: silence, then ACK.
    Answer(line, {kNak, kAck, kNak, kAck, 0, kAck, kAck});
    line.settings.baudRate = BaudRate::Br600;
    Send(line, TextFormat::Gts, true, {Record("P1")});

    const std::string block =
        Framed("_+P1        _ x+00000001000_ y+00000002000_ z+00000003000", "0026");
    EXPECT_EQ(line.written,
              kHeaderBlock + kHeaderBlock + kSecondBlock + kSecondBlock + block + block + kEndText);
    ASSERT_EQ(line.writes.size(), 7u);
    EXPECT_EQ(line.writes[5].atMs - line.writes[4].atMs, 4000 + 2284);
    EXPECT_TRUE(line.ended);
}

TEST(SssSend, LinesAreCommaTextAndXoffHoldsTheNextLineUntilXon) {
    ScriptedLine line;
    Answer(line, {kXoff});
    line.Send(std::string(1, kXon), 3000);
    Send(line, TextFormat::Sss, false, {Record("P1", "100", "200", "0"), Record("P2")});

    EXPECT_EQ(line.written, "P1,200.000,100.000,0.000,\r\nP2,2.000,1.000,3.000,\r\n" + kEotLine);
    ASSERT_EQ(line.writes.size(), 3u);
    EXPECT_EQ(line.writes[1].atMs, 3000);
    EXPECT_EQ(line.counters.front(), "Records transferred:   1/2");
    EXPECT_TRUE(line.ended);
}

// A stop between records or during an XOFF pause, or a line that is no record, ends
// the send with one end text.
TEST(GtsSssSend, StopOrAFaultyRecordSendsTheEndText) {
    ScriptedLine between;
    Answer(between, {kXon, kXon});
    between.stopAtMs = kOneWayWaitMs;
    Send(between, TextFormat::Sss, false, {Record("P1"), Record("P2")});
    EXPECT_EQ(between.written, "P1,2.000,1.000,3.000,\r\n" + kEotLine);
    EXPECT_FALSE(between.ended);

    ScriptedLine line;
    Answer(line, std::string(3, kXoff));
    line.stopAtMs = 5000;
    Send(line, TextFormat::Gts, false, {Record("P1"), Record("P2"), Record("P3")});
    ASSERT_EQ(line.writes.size(), 4u);
    EXPECT_EQ(line.writes[3].bytes, kEndText);
    EXPECT_LE(line.writes[3].atMs, 5000 + kStopCheckMs);

    ScriptedLine listing;
    EXPECT_THROW(Send(listing, TextFormat::Gts, false, {"JOB     listing text"}), ConversionError);
    EXPECT_EQ(listing.written.substr(listing.written.size() - 3), kEotLine);
}

} // namespace
} // namespace stadix
