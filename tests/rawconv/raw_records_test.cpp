#include "rawconv/RawRecords.h"

#include "app/RecordLine.h"
#include "app/Errors.h"
#include "tests/support/RawRecordBuilder.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

namespace stadix {
namespace {

using test::RawRecordBuilder;

class RawRecordsTest : public ::testing::Test {
  protected:
    DecodeState state;
    CardByteOrder order = CardByteOrder::BigEndian;
};

std::string ByteString(std::initializer_list<unsigned char> bytes) {
    return std::string(bytes.begin(), bytes.end());
}

TEST_F(RawRecordsTest, ReadsNumbersInEitherByteOrder) {
    const RawRecord big = RawRecordBuilder(kTypeDist, true)
                              .Bytes(19, ByteString({0x3F, 0xC0, 0x00, 0x00}))
                              .Bytes(23, ByteString({0xFF, 0xFF, 0xFF, 0xF4, 0xFE, 0xA7}))
                              .Bytes(31, ByteString({0x00, 0x04, 0xF1, 0xA0}))
                              .Bytes(5, ByteString({0xFF, 0xFE}))
                              .Build();
    state.bigEndian = true;
    EXPECT_EQ(ReadFloat32(state, big, 19), 1.5f);
    EXPECT_EQ(ReadCoordinate(state, big, 23).whole, -12);
    EXPECT_EQ(ReadCoordinate(state, big, 23).thousandths, -345);
    EXPECT_EQ(ReadUInt32(state, big, 31), 324000u);
    EXPECT_EQ(ReadInt16(state, big, 5), -2);

    const RawRecord little = RawRecordBuilder(kTypeDist, false)
                                 .Bytes(19, ByteString({0x00, 0x00, 0xC0, 0x3F}))
                                 .Bytes(23, ByteString({0xF4, 0xFF, 0xFF, 0xFF, 0xA7, 0xFE}))
                                 .Bytes(31, ByteString({0xA0, 0xF1, 0x04, 0x00}))
                                 .Build();
    const RawRecord untouched = little;
    state.bigEndian = false;
    EXPECT_EQ(ReadFloat32(state, little, 19), 1.5f);
    EXPECT_EQ(ReadCoordinate(state, little, 23).whole, -12);
    EXPECT_EQ(ReadCoordinate(state, little, 23).thousandths, -345);
    EXPECT_EQ(ReadUInt32(state, little, 31), 324000u);
    EXPECT_EQ(little, untouched);
}

TEST_F(RawRecordsTest, NeverReadsOutsideTheRecord) {
    RawRecord record;
    record.fill('A');
    EXPECT_EQ(ReadNameText(record, 10), "AAAAAAAAA"); // no NUL: the 9 bytes, no further
    EXPECT_EQ(ReadNameText(record, 33), "AAAAAAAAA");
    EXPECT_THROW(ReadNameText(record, 34), std::out_of_range);
    EXPECT_THROW(ReadUInt32(state, record, 39), std::out_of_range);
    EXPECT_THROW(ReadCoordinate(state, record, 37), std::out_of_range);
    EXPECT_THROW(ReadFixedText(record, 40, 3), std::out_of_range);
    EXPECT_NO_THROW(ReadInt16(state, record, 40));
}

TEST_F(RawRecordsTest, TextFieldsStopAtNulOrLoseTheirPadding) {
    const RawRecord record = RawRecordBuilder(kTypeInst, true)
                                 .Bytes(1, std::string(" RVA110\0\0\t", 10))
                                 .Bytes(11, std::string("A\0B\0", 4))
                                 .Build();
    EXPECT_EQ(ReadFixedText(record, 1, 10), "RVA110");
    EXPECT_EQ(ReadFixedText(record, 11, 4), std::string("A\0B", 3));
    EXPECT_EQ(ReadNameText(record, 1), " RVA110");
}

TEST_F(RawRecordsTest, CoordinatesInMetresAreExact) {
    EXPECT_EQ(FormatCoordinate(state, {0, -250}), "-0.250");
    EXPECT_EQ(FormatCoordinate(state, {-12, -345}), "-12.345");
    EXPECT_EQ(FormatCoordinate(state, {5, 7}), "5.007");
    EXPECT_EQ(FormatCoordinate(state, {0, 0}), "0.000");
    EXPECT_EQ(FormatCoordinate(state, {-2147483647 - 1, -32768}), "-2147483648.32768");
}

TEST_F(RawRecordsTest, CoordinatesAndLengthsInFeet) {
    SetDistanceUnit(state, 1);
    EXPECT_EQ(FormatCoordinate(state, {100, 0}), "328.08");
    EXPECT_EQ(FormatCoordinate(state, {-12, -345}), "-40.50");
    EXPECT_EQ(FormatLength(state, 1.5f), "4.92");
    SetDistanceUnit(state, 2);
    EXPECT_EQ(FormatCoordinate(state, {100, 0}), "328.08");
    // 1000 m: 3280.84 international feet, 3280.83 US survey feet.
    EXPECT_EQ(FormatLength(state, 1000.0f), "3280.83");
    SetDistanceUnit(state, 1);
    EXPECT_EQ(FormatLength(state, 1000.0f), "3280.84");
}

TEST_F(RawRecordsTest, LengthsRoundHalfAwayFromZeroOrAreNamedWhenNoNumber) {
    EXPECT_EQ(FormatLength(state, 1.5f), "1.500");
    EXPECT_EQ(FormatLength(state, 12.3456f), "12.346");
    EXPECT_EQ(FormatLength(state, -0.0625f), "-0.063");
    EXPECT_EQ(FormatLength(state, 0.0f), "0.000");
    EXPECT_EQ(FormatLength(state, std::numeric_limits<float>::quiet_NaN()), "NAN");
    EXPECT_EQ(FormatLength(state, std::numeric_limits<float>::infinity()), "INF");
    EXPECT_EQ(FormatLength(state, -std::numeric_limits<float>::infinity()), "-INF");
    SetDistanceUnit(state, 1);
    EXPECT_EQ(FormatLength(state, std::numeric_limits<float>::max()), "INF");
    EXPECT_EQ(FormatLength(state, std::numeric_limits<float>::quiet_NaN()), "NAN");
}

TEST_F(RawRecordsTest, AnglesInTheThreeUnits) {
    EXPECT_EQ(FormatAngle(state, 324000), "90.0000");
    EXPECT_EQ(FormatAngle(state, 45296), "12.3456");
    EXPECT_EQ(FormatAngle(state, 1295999), "359.5959");
    EXPECT_EQ(FormatAngle(state, 0), "0.0000");
    // Degrees are kept to 16 bits.
    EXPECT_EQ(FormatAngle(state, 4294967295u), "13398.2815");
    SetAngleUnit(state, 1);
    EXPECT_EQ(FormatAngle(state, 324000), "100.0000");
    EXPECT_EQ(FormatAngle(state, 1295999), "399.9997");
    EXPECT_EQ(FormatAngle(state, 4294967295u), "1325607.1898");
    SetAngleUnit(state, 2);
    EXPECT_EQ(FormatAngle(state, 324000), "1600.000");
    EXPECT_EQ(FormatAngle(state, 1295999), "6399.995");
    EXPECT_EQ(FormatAngle(state, 4294967295u), "21209715.037");
}

TEST_F(RawRecordsTest, TemperatureAndPressure) {
    EXPECT_EQ(FormatTemperature(212, 0), "100");
    EXPECT_EQ(FormatTemperature(33, 0), "1");
    EXPECT_EQ(FormatTemperature(31, 0), "-1");
    EXPECT_EQ(FormatTemperature(32, 0), "0");
    EXPECT_EQ(FormatTemperature(-40, 0), "-40");
    EXPECT_EQ(FormatTemperature(212, 1), "212");
    EXPECT_EQ(FormatPressure(2992, 0), "1013");
    EXPECT_EQ(FormatPressure(2992, 1), "760");
    EXPECT_EQ(FormatPressure(2992, 2), "29.92");
    EXPECT_EQ(FormatPressure(-5, 2), "-0.05");
}

TEST_F(RawRecordsTest, ModelTableIsMatchedExactly) {
    EXPECT_TRUE(IsKnownModel("RVA110"));
    EXPECT_TRUE(IsKnownModel("TS"));
    EXPECT_TRUE(IsKnownModel("ZQM185"));
    EXPECT_FALSE(IsKnownModel("rva110"));
    EXPECT_FALSE(IsKnownModel("RVA110 "));
    EXPECT_FALSE(IsKnownModel("T"));
    EXPECT_FALSE(IsKnownModel(""));
}

TEST_F(RawRecordsTest, InstRecordSetsByteOrderAndMarkerOverridesTable) {
    auto inst = [](const std::string& model, const std::string& marker) {
        return RawRecordBuilder(kTypeInst, true).Bytes(1, model).Bytes(24, marker).Build();
    };
    ApplyInstRecord(state, inst("NKL140", "LTE"));
    EXPECT_FALSE(state.bigEndian);
    ApplyInstRecord(state, inst("NKL140    ", "LT "));
    EXPECT_TRUE(state.bigEndian);
    ApplyInstRecord(state, inst("XYZ999", "   "));
    EXPECT_FALSE(state.bigEndian);
    ApplyInstRecord(state, inst("TS", "lte"));
    EXPECT_TRUE(state.bigEndian);
}

TEST_F(RawRecordsTest, UnitCodesOutOfRangeKeepTheState) {
    ApplyUnitRecord(state, RawRecordBuilder(kTypeUnit, true).Byte(1, 2).Byte(2, 1).Build());
    EXPECT_TRUE(state.feetDisplay);
    EXPECT_TRUE(state.usSurveyFeet);
    EXPECT_EQ(state.angleUnit, 1);

    ApplyUnitRecord(state, RawRecordBuilder(kTypeUnit, true).Byte(1, 7).Byte(2, 255).Build());
    EXPECT_TRUE(state.feetDisplay);
    EXPECT_TRUE(state.usSurveyFeet);
    EXPECT_EQ(state.angleUnit, 1);

    ApplyUnitRecord(state, RawRecordBuilder(kTypeUnit, true).Byte(1, 1).Byte(2, 2).Build());
    EXPECT_TRUE(state.feetDisplay);
    EXPECT_FALSE(state.usSurveyFeet);
    EXPECT_EQ(state.angleUnit, 2);

    SetDistanceUnit(state, 0);
    EXPECT_FALSE(state.feetDisplay);
    SetAngleUnit(state, 3);
    EXPECT_EQ(state.angleUnit, 2);
}

TEST_F(RawRecordsTest, ParsesCoordinateText) {
    auto parsed = [](const std::string& text) {
        const RawCoordinate value = ParseCoordinate(text);
        return std::make_pair(value.whole, static_cast<int>(value.thousandths));
    };
    EXPECT_EQ(parsed("12.3456"), std::make_pair(12, 346));
    EXPECT_EQ(parsed("-0.25"), std::make_pair(0, -250));
    EXPECT_EQ(parsed("1.9996"), std::make_pair(2, 0));
    EXPECT_EQ(parsed("-12.345"), std::make_pair(-12, -345));
    EXPECT_EQ(parsed("  7.5 m"), std::make_pair(7, 500));
    EXPECT_EQ(parsed("abc"), std::make_pair(0, 0));
    EXPECT_EQ(parsed(""), std::make_pair(0, 0));
    EXPECT_EQ(parsed("1e20"), std::make_pair(2147483647, 0));
    EXPECT_EQ(parsed("-1e20"), std::make_pair(-2147483647, 0));
}

TEST_F(RawRecordsTest, PtRecordBecomesRecordLineWithoutItsCode) {
    const RawRecord pt = RawRecordBuilder(kTypePt, false)
                             .Bytes(1, "P1")
                             .Bytes(10, "K1")
                             .Coordinate(19, 1234, 567)
                             .Coordinate(25, 0, -250)
                             .Coordinate(31, -12, -345)
                             .Build();
    EXPECT_EQ(PtRecordToPointLine(state, pt, false),
              MakeRecordLine("P1", "", "1234.567", "-0.250", "-12.345"));
    EXPECT_FALSE(state.bigEndian);

    SetDistanceUnit(state, 1);
    const RawRecord feet =
        RawRecordBuilder(kTypePt, true).Bytes(1, "P2").Coordinate(19, 100, 0).Build();
    EXPECT_EQ(RecordLineN(PtRecordToPointLine(state, feet, true)), "328.080");
    EXPECT_TRUE(state.bigEndian);
}

TEST_F(RawRecordsTest, CoordRecordBecomesRecordLineWithItsCode) {
    const RawRecord stn = RawRecordBuilder(kTypeStn, true)
                              .Bytes(1, "STATION12") // 9 bytes, no NUL
                              .Bytes(10, "K1")
                              .Float(19, 1.5f)
                              .Coordinate(23, 10, 1)
                              .Coordinate(29, 20, 2)
                              .Coordinate(35, 30, 3)
                              .Build();
    EXPECT_EQ(CoordRecordToPointLine(state, stn, true),
              MakeRecordLine("STATION12", "K1", "10.001", "20.002", "30.003"));

    const RawRecord wide = RawRecordBuilder(kTypeCrd, true).Coordinate(23, 2000000000, 0).Build();
    EXPECT_THROW(CoordRecordToPointLine(state, wide, true), ConversionError);
}

TEST_F(RawRecordsTest, RecordLineBecomesCardPtRecord) {
    const std::string line = MakeRecordLine("AB\xD6\xD0"
                                            "C",
                                            "LONGCODE9", "1.5", "-0.25", "-12.3456");
    RawRecord record;
    record.fill(0xEE);

    PointLineToPtRecord(line, record, order);
    EXPECT_EQ(record[0], kTypePt);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[1]), 4),
              std::string("AB\0\xEE", 4));
    // FitName has made the code LONGCO-9 in the record line.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[10]), 9),
              std::string("LONGCO-9\0", 9));
    const std::string bigEndianNumbers = ByteString(
        {0, 0, 0, 1, 0x01, 0xF4, 0, 0, 0, 0, 0xFF, 0x06, 0xFF, 0xFF, 0xFF, 0xF4, 0xFE, 0xA6});
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[19]), 18), bigEndianNumbers);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[37]), 5), std::string(5, '\xEE'));

    order = CardByteOrder::LittleEndian;
    state.bigEndian = true; // the decoding state's byte order plays no part
    PointLineToPtRecord(line, record, order);
    const std::string littleEndianNumbers = ByteString(
        {1, 0, 0, 0, 0xF4, 0x01, 0, 0, 0, 0, 0x06, 0xFF, 0xF4, 0xFF, 0xFF, 0xFF, 0xA6, 0xFE});
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&record[19]), 18), littleEndianNumbers);
}

TEST_F(RawRecordsTest, CardWordsAreReversedForBigEndianCards) {
    const std::uint16_t word16 = 0x1234;
    const std::uint32_t word32 = 0x12345678;
    unsigned char memory[4];
    std::memcpy(memory, &word32, 4);
    const bool hostLittleEndian = memory[0] == 0x78;

    order = CardByteOrder::BigEndian;
    std::uint32_t card = CardWord32(word32, order);
    std::memcpy(memory, &card, 4);
    EXPECT_EQ(memory[0], 0x12);
    EXPECT_EQ(CardWord32(card, order), word32);
    EXPECT_EQ(CardWord16(word16, order), hostLittleEndian ? 0x3412 : 0x1234);

    order = CardByteOrder::LittleEndian;
    card = CardWord32(word32, order);
    std::memcpy(memory, &card, 4);
    EXPECT_EQ(memory[0], 0x78);
    EXPECT_EQ(CardWord16(word16, order), hostLittleEndian ? 0x1234 : 0x3412);
}

} // namespace
} // namespace stadix
