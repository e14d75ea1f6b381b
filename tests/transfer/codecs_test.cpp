#include "transfer/Codecs.h"

#include "base/Errors.h"
#include "job/RecordLine.h"
#include "tests/support/HexBytes.h"

#include <gtest/gtest.h>

#include <vector>

namespace stadix {
namespace {

using Bytes = std::vector<std::uint8_t>;
using test::Hex;

const std::uint8_t* Data(const std::string& bytes) {
    return reinterpret_cast<const std::uint8_t*>(bytes.data());
}

template <std::size_t N> std::string Str(const std::array<std::uint8_t, N>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

std::string Number(const std::string& bytes) {
    return DecodeKvrNumber(Data(bytes), bytes.size());
}

TEST(KvrText, CodesBothWaysWithUnknownOnesMarked) {
    EXPECT_EQ(DecodeKvrText(Data(Hex("0B40")), 2), "A#");
    // An inner blank stays; only trailing ones go.
    EXPECT_EQ(DecodeKvrText(Data(Hex("0BFF2567FF")), 5), "A a%");
    EXPECT_EQ(EncodeKvrText("P-1", 8), (Bytes{0x1A, 0x3F, 0x01, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}));
    EXPECT_EQ(EncodeKvrText("P,1", 3), (Bytes{0x1A, 0x4A, 0x01}));
    // Never more than width bytes, whatever the text.
    EXPECT_EQ(EncodeKvrText("ABCDEFGHIJ", 2), (Bytes{0x0B, 0x0C}));
    // Every character of the set survives a round trip.
    const std::string set(kKvrCharacterSet.substr(0, kKvrCharacterSet.size() - 1));
    const Bytes codes = EncodeKvrText(set, set.size());
    EXPECT_EQ(DecodeKvrText(codes.data(), codes.size()), set);
    EXPECT_EQ(codes[set.find('z')], 0x3E);
}

TEST(KvrNumber, PackedDecimalsBothWays) {
    EXPECT_EQ(Number(Hex("F000012345")), "-000012.345");
    EXPECT_EQ(Number(Hex("0000000005")), "0.005");
    // Half-bytes beyond 9 give two-digit groups instead of failing.
    EXPECT_EQ(Number(Hex("001A00")), "2.000");
    EXPECT_EQ(DecodeKvrAngle(Data(Hex("00000015"))), "0.0015");
    // Eleven digits, sent in six bytes.
    EXPECT_EQ(NormalizeKvrNumber("99999999.999"), "99999999999");
    EXPECT_EQ(Str(EncodeKvrNumber("-12.345")), Hex("00000F123405"));
    EXPECT_EQ(Str(EncodeKvrNumber("-123.456")), Hex("0000F1234506"));
    EXPECT_THROW(EncodeKvrNumber("123456789"), ConversionError);
}

TEST(CoordBlock, DecodesNamesAndValuesInEitherUnit) {
    // P1, TREE, N 1234.567, E -12.345, Z 10; the last byte is never read.
    const std::string block =
        Hex("1A01FFFFFFFFFFFF 1E1C0F0FFFFFFFFF 0001234567 F000012345 0000010000 99");
    EXPECT_EQ(DecodeCoordBlock(Data(block), CoordUnit::Metre),
              MakeRecordLine("P1", "TREE", "1234.567", "-12.345", "10"));
    EXPECT_EQ(DecodeCoordBlock(Data(block), CoordUnit::InternationalFoot),
              MakeRecordLine("P1", "TREE", "4050.42", "-40.50", "32.81"));
    // Noise gives a line instead of failing.
    const std::string ff(32, '\xFF'), ee(32, '\xEE');
    EXPECT_EQ(RecordLineN(DecodeCoordBlock(Data(ff), CoordUnit::Metre)), "-15.000");
    EXPECT_EQ(RecordLineZ(DecodeCoordBlock(Data(ee), CoordUnit::UsSurveyFoot)), "5057540.870");
}

TEST(CoordBlock, WhatWeSendDecodesToTheSameLineInMetres) {
    const std::vector<std::string> lines = {
        MakeRecordLine("P1", "TREE", "1234.567", "2345.678", "12.3"),
        MakeRecordLine("A-9_x/%", "", "-12.345", "-123.456", "-0.5"),
        MakeRecordLine("12345678", "#$&@!*+.", "9999999.999", "-999999.999", "0"),
        MakeRecordLine("a b", "c", "0.001", "-0.001", "100"),
    };
    for (const std::string& line : lines) {
        const CoordBlock block = EncodeCoordBlock(line, CoordUnit::Metre);
        EXPECT_EQ(DecodeCoordBlock(block.data(), CoordUnit::Metre), line);
        EXPECT_EQ(block[31], 0);
    }
    const CoordBlock block = EncodeCoordBlock(
        MakeRecordLine("P", "", "1234.567", "-12.345", "-123.456"), CoordUnit::Metre);
    EXPECT_EQ(Str(block),
              Hex("1AFFFFFFFFFFFFFF FFFFFFFFFFFFFFFF 0001234567 0000F12345 000F123456 00"));
    // Feet go as metres; values that do not fit are refused.
    const CoordBlock feet = EncodeCoordBlock(MakeRecordLine("P", "", "328.084", "328.080", "0"),
                                             CoordUnit::InternationalFoot);
    EXPECT_EQ(DecodeCoordBlock(feet.data(), CoordUnit::Metre),
              MakeRecordLine("P", "", "100.000", "99.999", "0"));
    EXPECT_THROW(EncodeCoordBlock(MakeRecordLine("P", "", "10000000", "0", "0"), CoordUnit::Metre),
                 ConversionError);
    EXPECT_THROW(EncodeCoordBlock(MakeRecordLine("P", "", "0", "-1000000", "0"), CoordUnit::Metre),
                 ConversionError);
}

TEST(CsvRecord, ParsesFieldsWithLimitsAndRanges) {
    const std::pair<const char*, std::string> parsed[] = {
        {"P1", MakeRecordLine("P1", "", "0", "0", "0")},
        {"P1,C1,100000001,2,3", MakeRecordLine("P1", "C1", "0", "2", "3")},
        // Both end values are refused, in the middle and at the end.
        {"P,C,-10000000,99999999.999,100000000",
         MakeRecordLine("P", "C", "0", "99999999.999", "0")},
        // Blanks inside comma-ended fields go; characters beyond a limit are dropped.
        {" P 1 ,ABCDEFGHIJ,1 0,2,3", MakeRecordLine("P1", "ABCDEFGH", "10", "2", "3")},
        // A last field longer than its limit is missing; fields after the fifth are ignored.
        {"P,C,1,2,3.0000000000000", MakeRecordLine("P", "C", "1", "2", "0")},
        {"P,C,1,2,3,4,5", MakeRecordLine("P", "C", "1", "2", "3")},
        // Unreadable numbers read leniently instead of failing.
        {"P,C,12abc,,-", MakeRecordLine("P", "C", "12", "0", "0")},
    };
    for (const auto& [text, line] : parsed)
        EXPECT_EQ(ParseCsvRecord(text), line) << text;
}

TEST(CsvBlock, EndsAtTheTerminatorAndConvertsToFeet) {
    const std::string text = std::string("P1,C1,100,200,30") + '\0' + '9';
    EXPECT_EQ(DecodeCsvBlock(Data(text), text.size(), CoordUnit::Metre),
              MakeRecordLine("P1", "C1", "100", "200", "30"));
    // Without a terminator the text ends at the block length.
    EXPECT_EQ(DecodeCsvBlock(Data(text), 12, CoordUnit::Metre),
              MakeRecordLine("P1", "C1", "100", "20", "0"));
    // Feet that would not fit a record line become 0 rather than fail the reception.
    EXPECT_EQ(DecodeCsvBlock(Data("P,C,50000000,1000,2"), 19, CoordUnit::UsSurveyFoot),
              MakeRecordLine("P", "C", "0", "3280.83", "6.56"));
}

TEST(TextBlock, WritesFixedColumnsInMetresAndRefusesAValueTooWide) {
    const std::string line = MakeRecordLine("P1", "TREE", "1234.567", "-2345.678", "12.3");
    EXPECT_EQ(EncodeTextBlock11(line, CoordUnit::Metre),
              "P1      TREE    1234.567   -2345.678  12.300     ");
    EXPECT_EQ(EncodeTextBlock12(line, CoordUnit::Metre),
              "P1      TREE    1234.567    -2345.678   12.300      ");
    EXPECT_EQ(EncodeTextBlock11(MakeRecordLine("P", "", "328.084", "0", "0"),
                                CoordUnit::InternationalFoot),
              "P               100.000    0.000      0.000      ");
    const std::string wide = MakeRecordLine("P", "", "12345678.123", "0", "0");
    EXPECT_THROW(EncodeTextBlock11(wide, CoordUnit::Metre), ConversionError);
    EXPECT_EQ(EncodeTextBlock12(wide, CoordUnit::Metre).size(), 52u);
}

TEST(Gts, EncodesSignedValuesAndCoordinateLines) {
    EXPECT_EQ(FormatGtsValue(-0.25), "-00000000250");
    EXPECT_EQ(FormatGtsValue(99999999.999), "+99999999999");
    EXPECT_EQ(FormatGtsValue(-12.3455), "-00000012346");
    const std::string line = MakeRecordLine("P1", "TREE", "1234.567", "-2345.678", "12.3");
    EXPECT_EQ(EncodeGtsCoordLine(line, CoordUnit::Metre),
              "_+P1        _ x+00001234567_ y-00002345678_ z+00000012300");
    EXPECT_EQ(EncodeGtsCoordLine(MakeRecordLine("P", "", "328.084", "0", "1"),
                                 CoordUnit::InternationalFoot),
              "_+P         _ x+00000100000_ y+00000000000_ z+00000000305");
    EXPECT_THROW(EncodeGtsCoordLine("P        C        abc", CoordUnit::Metre), ConversionError);
}

TEST(Units, ConvertBetweenMetresAndFeet) {
    // Metres to feet in either foot: the block tests.
    EXPECT_EQ(MetresToFeetText("x", false), "0.00");
    const std::string feet = MakeRecordLine("P", "C", "328.084", "328.080", "1000000");
    EXPECT_EQ(LineFeetToMetres(feet, false), MakeRecordLine("P", "C", "100", "99.999", "304800"));
    EXPECT_EQ(LineFeetToMetres(feet, true),
              MakeRecordLine("P", "C", "100", "99.999", "304800.610"));
}

} // namespace
} // namespace stadix
