#include "app/Errors.h"
#include "app/RecordLine.h"
#include "app/TextFormat.h"

#include <gtest/gtest.h>

using namespace stadix;

TEST(FitName, KeepsShortNamesAndMarksCutOnes) {
    EXPECT_EQ(FitName("ABCDEFGHIJK", 8), "ABCDEF-K");
    EXPECT_EQ(FitName("ABCDEFGH", 8), "ABCDEFGH");
    EXPECT_EQ(FitName("", 8), "");
}

TEST(RoundMm, RoundsHalfAwayFromZero) {
    EXPECT_DOUBLE_EQ(RoundMm(2.0005), 2.001);
    EXPECT_DOUBLE_EQ(RoundMm(-2.0005), -2.001);
    EXPECT_DOUBLE_EQ(RoundMm(0), 0);
    EXPECT_DOUBLE_EQ(RoundMm(1.2344), 1.234);
}

TEST(FormatCoordText, FormatsThreeDecimalsAndRejectsNonNumbers) {
    EXPECT_EQ(FormatCoordText("12.3", 12), "12.300");
    EXPECT_EQ(FormatCoordText("  -0.0004 ", 12), "0.000");
    EXPECT_EQ(FormatCoordText("-2.0005", 12), "-2.001");
    EXPECT_EQ(FormatCoordText(".5", 12), "0.500");
    EXPECT_EQ(FormatCoordText("1e3", 12), "1000.000");
    EXPECT_THROW(FormatCoordText("", 12), ConversionError);
    EXPECT_THROW(FormatCoordText("1 2", 12), ConversionError);
    EXPECT_THROW(FormatCoordText("12-3", 12), ConversionError);
    EXPECT_THROW(FormatCoordText("nan", 12), ConversionError);
    EXPECT_THROW(FormatCoordText("0x10", 12), ConversionError);
}

TEST(FormatCoordText, RefusesNumbersThatDoNotFitInsteadOfCuttingThem) {
    EXPECT_EQ(FormatCoordText("99999999.999", 12), "99999999.999");
    EXPECT_THROW(FormatCoordText("123456789.5", 12), ConversionError);
}

TEST(MakeRecordLine, BuildsFixedColumns) {
    const std::string line = MakeRecordLine("P1", "TREE", "1234.567", "2345.678", "12.3");
    EXPECT_EQ(line, "P1       TREE     1234.567     2345.678     12.300       ");
    EXPECT_EQ(line.size(), kRecordLineLength);
    EXPECT_EQ(RecordLinePt(line), "P1");
    EXPECT_EQ(RecordLineCode(line), "TREE");
    EXPECT_EQ(RecordLineN(line), "1234.567");
    EXPECT_EQ(RecordLineE(line), "2345.678");
    EXPECT_EQ(RecordLineZ(line), "12.300");
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

TEST(CsvToRecordLine, ReadsEastingBeforeNorthing) {
    std::string line;
    ASSERT_TRUE(CsvToRecordLine("P7,200.5,100.25,3", line));
    EXPECT_EQ(RecordLinePt(line), "P7");
    EXPECT_EQ(RecordLineN(line), "100.250");
    EXPECT_EQ(RecordLineE(line), "200.500");
    EXPECT_EQ(RecordLineZ(line), "3.000");
    EXPECT_EQ(RecordLineCode(line), "");

    ASSERT_TRUE(CsvToRecordLine("LONGNAME99, 1,2,3,\"CODE WITH BLANK\",extra", line));
    EXPECT_EQ(RecordLinePt(line), "LONGNAME");
    EXPECT_EQ(RecordLineCode(line), "CODE WIT");
}

TEST(CsvToRecordLine, RefusesBadLines) {
    std::string line = "unchanged";
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

TEST(LenientNumber, TakesTheLongestLeadingNumber) {
    EXPECT_DOUBLE_EQ(ParseLenientNumber("12-3"), 12);
    EXPECT_DOUBLE_EQ(ParseLenientNumber(" -4.5e1x"), -45);
    EXPECT_DOUBLE_EQ(ParseLenientNumber("abc"), 0);
    EXPECT_DOUBLE_EQ(ParseLenientNumber("1e"), 1);
}

TEST(FormatFixed, RoundsHalfAwayFromZero) {
    EXPECT_EQ(FormatFixed(1.5, 0), "2");
    EXPECT_EQ(FormatFixed(-2.5, 0), "-3");
    EXPECT_EQ(FormatFixed(0.125, 2), "0.13");
    EXPECT_EQ(FormatFixed(-0.0001, 3), "0.000");
    EXPECT_EQ(FormatFixed(4.92126, 2), "4.92");
}
