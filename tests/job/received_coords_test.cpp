#include "base/Errors.h"
#include "job/ReceivedCoords.h"
#include "job/RecordLine.h"

#include <gtest/gtest.h>

using namespace stadix;

namespace {
std::string GtsPoint(const std::string& name, const std::string& n, const std::string& e,
                     const std::string& z) {
    std::string padded = name;
    padded.resize(8, ' ');
    return "_+" + padded + "_ x" + n + "_ y" + e + "_ z" + z;
}
} // namespace

TEST(ConvertReceivedCoordinates, ReadsOneGtsPointWithTheFirstNorthingsWidth) {
    std::vector<std::string> lines{"\x02" +
                                   GtsPoint("P1", "0000123456", "0000234567", "0000001234")};
    ConvertReceivedCoordinates(lines, DataFormat::Gts);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], MakeRecordLine("P1", "", "123.456", "234.567", "1.234"));

    // A name ends at a line end.
    lines = {"_+B", "_ x0001000_ y0002000_ z0000010"};
    ConvertReceivedCoordinates(lines, DataFormat::Gts);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "B                 1.000        2.000        0.010        ");
}

TEST(ConvertReceivedCoordinates, RemovesFramingAndKeepsPointOrder) {
    // Two points in one block, then a third in a second block; each block ends with
    // its number digit, a three-digit check, ETX, CR and LF.
    const std::string block1 = "\x02" + GtsPoint("A", "0001000", "0002000", "0000010") +
                               GtsPoint("LONGNAME9", "-001500", "0002500", "0000020") + "0123\x03";
    const std::string block2 = "\x02" + GtsPoint("C", "0003000", "0004000", "0000030") + "1045\x03";
    std::vector<std::string> lines{block1, block2, ""};
    ConvertReceivedCoordinates(lines, DataFormat::Gts);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], MakeRecordLine("A", "", "1", "2", "0.01"));
    EXPECT_EQ(lines[1], MakeRecordLine("LONGNAME", "", "-1.5", "2.5", "0.02"));
    EXPECT_EQ(lines[2], MakeRecordLine("C", "", "3", "4", "0.03"));
}

TEST(ConvertReceivedCoordinates, IncompletePointsEndTheConversion) {
    std::vector<std::string> lines{GtsPoint("A", "0001000", "0002000", "0000010") +
                                   "_+B       _ x0001"};
    ConvertReceivedCoordinates(lines, DataFormat::Gts);
    ASSERT_EQ(lines.size(), 1u);

    // The last height needs the first northing's width; a block's framing may end
    // right after it.
    lines = {GtsPoint("A", "0001000", "0002000", "000")};
    ConvertReceivedCoordinates(lines, DataFormat::Gts);
    EXPECT_TRUE(lines.empty());
    lines = {GtsPoint("A", "0001000", "0002000", "0000050") + "1234\x03"};
    ConvertReceivedCoordinates(lines, DataFormat::Gts);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(RecordLineZ(lines[0]), "0.050");

    lines = {"no markers here", "\x03\r\n"};
    ConvertReceivedCoordinates(lines, DataFormat::Gts);
    EXPECT_TRUE(lines.empty());
}

TEST(ConvertReceivedCoordinates, GtsNumberThatDoesNotConvertKeepsEarlierPoints) {
    std::vector<std::string> lines{GtsPoint("A", "0001000", "0002000", "0000010") +
                                   GtsPoint("B", "00x1000", "0002000", "0000010")};
    EXPECT_THROW(ConvertReceivedCoordinates(lines, DataFormat::Gts), ConversionError);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(RecordLinePt(lines[0]), "A");
}

TEST(ConvertReceivedCoordinates, SssLinesThatAreNoRecordsAreDropped) {
    std::vector<std::string> lines{"P1,200,100,5,TREE", "END", "P2,1,2,3"};
    ConvertReceivedCoordinates(lines, DataFormat::Sss);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], MakeRecordLine("P1", "TREE", "100", "200", "5"));
    EXPECT_EQ(RecordLinePt(lines[1]), "P2");

    lines = {"JOB,x", "P1,1,2,3", "BAD", "P2,1-2,2,3", "P3,1,2,3"};
    EXPECT_THROW(ConvertReceivedCoordinates(lines, DataFormat::Sss), ConversionError);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(RecordLinePt(lines[0]), "P1");
    EXPECT_EQ(lines[1], "P2,1-2,2,3");
}

TEST(ConvertReceivedCoordinates, OtherFormatsLeaveTheListAlone) {
    std::vector<std::string> lines{"P1,200,100,5,TREE", "END"};
    ConvertReceivedCoordinates(lines, DataFormat::Kvr);
    EXPECT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "END");
}
