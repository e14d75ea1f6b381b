#include "base/Errors.h"
#include "base/TextFormat.h"
#include "job/RecordLine.h"

#include <gtest/gtest.h>

using namespace stadix;

TEST(TextFormat, FitsNamesAndRoundsHalfAwayFromZero) {
    EXPECT_EQ(FitName("ABCDEFGHIJK", 8), "ABCDEF-K");
    EXPECT_EQ(FitName("ABCDEFGH", 8), "ABCDEFGH");
    EXPECT_EQ(FitName("", 8), "");
    // 0.5005 is held as 0.50049999...: the half is still rounded up.
    EXPECT_DOUBLE_EQ(RoundMm(0.5005), 0.501);
    EXPECT_DOUBLE_EQ(RoundMm(-0.5005), -0.501);
    EXPECT_DOUBLE_EQ(RoundMm(0), 0);
    EXPECT_DOUBLE_EQ(RoundMm(1.2344), 1.234);
    EXPECT_EQ(FormatFixed(1.5, 0), "2");
    EXPECT_EQ(FormatFixed(-2.5, 0), "-3");
    EXPECT_EQ(FormatFixed(0.125, 2), "0.13");
    EXPECT_EQ(FormatFixed(-0.0001, 3), "0.000");
    EXPECT_EQ(FormatFixed(4.92126, 2), "4.92");
    EXPECT_DOUBLE_EQ(ParseLenientNumber("12-3"), 12);
    EXPECT_DOUBLE_EQ(ParseLenientNumber(" -4.5e1x"), -45);
    EXPECT_DOUBLE_EQ(ParseLenientNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(ParseLenientNumber("1e"), 1);
}

// Numbers that do not fit are refused rather than cut.
TEST(FormatCoordText, FormatsThreeDecimalsAndRejectsNonNumbers) {
    const std::pair<const char*, const char*> formatted[] = {
        {"12.3", "12.300"}, {"  -0.0004 ", "0.000"}, {"-2.0005", "-2.001"},
        {".5", "0.500"},    {"1e3", "1000.000"},     {"99999999.999", "99999999.999"}};
    for (const auto& [text, expected] : formatted)
        EXPECT_EQ(FormatCoordText(text, 12), expected);
    for (const char* text : {"", "1 2", "12-3", "nan", "0x10", "123456789.5"})
        EXPECT_THROW(FormatCoordText(text, 12), ConversionError) << text;
}

TEST(MakeRecordLine, BuildsFixedColumns) {
    const std::string line = MakeRecordLine("P1", "TREE", "1234.567", "2345.678", "12.3");
    EXPECT_EQ(line, "P1       TREE     1234.567     2345.678     12.300       ");
    EXPECT_EQ(RecordLinePt(line) + "|" + RecordLineCode(line) + "|" + RecordLineN(line) + "|" +
                  RecordLineE(line) + "|" + RecordLineZ(line),
              "P1|TREE|1234.567|2345.678|12.300");
    EXPECT_EQ(RecordLineToCsv(line), "P1,2345.678,1234.567,12.300,TREE");
    EXPECT_EQ(RecordLineToText(line), "P1,1234.567,2345.678,12.300,TREE");
}

TEST(MakeRecordLine, FullWidthFieldsAndNonAsciiBytesPassThrough) {
    const std::string name = "\xB5\xE3\xA3\xBA"
                             "ABCDEFG"; // 11 bytes
    const std::string line = MakeRecordLine(name, "CODE12345", "-9999999.999", "99999999.999", "0");
    EXPECT_EQ(line.size(), kRecordLineLength);
    EXPECT_EQ(RecordLinePt(line), "\xB5\xE3\xA3\xBA"
                                  "AB-G");
    EXPECT_EQ(RecordLineCode(line), "CODE12-5");
    EXPECT_EQ(RecordLineN(line), "-9999999.999");
    EXPECT_EQ(line.substr(18, 13), "-9999999.999 ");
}

TEST(RecordLineFields, ShortLinesReadAsEmptyTrailingFields) {
    const std::string line = MakeRecordLine("A", "", "1", "2", "3").substr(0, 44);
    EXPECT_EQ(RecordLineE(line), "2.000");
    EXPECT_EQ(RecordLineZ(line), "");
    EXPECT_EQ(RecordLinePt(""), "");
    EXPECT_EQ(RecordLineN("P"), "");
}

TEST(CsvToRecordLine, ReadsEastingBeforeNorthingAndRefusesBadLines) {
    std::string line;
    ASSERT_TRUE(CsvToRecordLine("P7,200.5,100.25,3", line));
    EXPECT_EQ(line, "P7                100.250      200.500      3.000        ");

    ASSERT_TRUE(CsvToRecordLine("LONGNAME99, 1,2,3,\"CODE WITH BLANK\",extra", line));
    EXPECT_EQ(RecordLinePt(line), "LONGNAME");
    EXPECT_EQ(RecordLineCode(line), "CODE WIT");

    line = "unchanged";
    EXPECT_FALSE(CsvToRecordLine("P7,1a,2,3", line));
    EXPECT_FALSE(CsvToRecordLine("P7,1,2", line));
    EXPECT_FALSE(CsvToRecordLine("", line));
    EXPECT_EQ(line, "unchanged");
    // Passes the character check but is no number.
    EXPECT_THROW(CsvToRecordLine("P7,1-2,2,3", line), ConversionError);
    EXPECT_THROW(CsvToRecordLine("P7,,2,3", line), ConversionError);
}

TEST(SplitCommaText, FollowsStringListRules) {
    using V = std::vector<std::string>;
    EXPECT_EQ(SplitCommaText("a,,b"), (V{"a", "", "b"}));
    EXPECT_EQ(SplitCommaText("a b"), (V{"a", "b"}));
    EXPECT_EQ(SplitCommaText("  a , b,"), (V{"a", "b", ""}));
    EXPECT_EQ(SplitCommaText("\"x \"\"y\"\"\",z"), (V{"x \"y\"", "z"}));
    EXPECT_EQ(SplitCommaText(""), V{});
}
