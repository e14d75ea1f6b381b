#include "rawconv/RawRecords.h"

#include "base/Errors.h"
#include "job/RecordLine.h"
#include "tests/support/RawRecordBuilder.h"

#include <gtest/gtest.h>

#include <limits>

namespace stadix {
namespace {

using test::RawRecordBuilder;

class RawRecordsTest : public ::testing::Test {
  protected:
    DecodeState state;
};

std::string Field(const RawRecord& record, std::size_t offset, std::size_t size) {
    return std::string(reinterpret_cast<const char*>(&record[offset]), size);
}

// The listing shows names of 9 bytes without a NUL and trimmed texts.
TEST_F(RawRecordsTest, TextFieldsStopAtNulOrLoseTheirPaddingAndNeverLeaveTheRecord) {
    const RawRecord record = RawRecordBuilder(kTypeInst, true)
                                 .Bytes(1, std::string(" RVA110\0\0\t", 10))
                                 .Bytes(11, std::string("A\0B\0", 4))
                                 .Build();
    EXPECT_EQ(ReadFixedText(record, 11, 4), std::string("A\0B", 3));
    EXPECT_EQ(ReadNameText(record, 1), " RVA110");
    EXPECT_THROW(ReadNameText(record, 34), std::out_of_range);
    EXPECT_THROW(ReadUInt32(state, record, 39), std::out_of_range);
    EXPECT_THROW(ReadCoordinate(state, record, 37), std::out_of_range);
    EXPECT_THROW(ReadFixedText(record, 40, 3), std::out_of_range);
    EXPECT_NO_THROW(ReadInt16(state, record, 40));
}

TEST_F(RawRecordsTest, FormatsNumbersAtTheirLimits) {
    EXPECT_EQ(FormatCoordinate(state, {0, -250}), "-0.250");
    EXPECT_EQ(FormatCoordinate(state, {5, 7}), "5.007");
    EXPECT_EQ(FormatCoordinate(state, {-2147483647 - 1, -32768}), "-2147483648.32768");
    // Lengths round half away from zero, or are named when they are no number.
    EXPECT_EQ(FormatLength(state, -0.0625f), "-0.063");
    EXPECT_EQ(FormatLength(state, -std::numeric_limits<float>::infinity()), "-INF");
    // 1000 m: 3280.84 international feet, 3280.83 US survey feet.
    SetDistanceUnit(state, 1);
    EXPECT_EQ(FormatLength(state, 1000.0f), "3280.84");
    EXPECT_EQ(FormatLength(state, std::numeric_limits<float>::max()), "INF");
    SetDistanceUnit(state, 2);
    EXPECT_EQ(FormatLength(state, 1000.0f), "3280.83");
    // Degrees are kept to 16 bits (the listing test shows them).
    SetAngleUnit(state, 1);
    EXPECT_EQ(FormatAngle(state, 4294967295u), "1325607.1898");
    SetAngleUnit(state, 2);
    EXPECT_EQ(FormatAngle(state, 4294967295u), "21209715.037");
    EXPECT_EQ(FormatAngle(state, 1295999), "6399.995");
    // Temperatures and pressures round to the nearest unit.
    EXPECT_EQ(FormatTemperature(33, 0), "1");
    EXPECT_EQ(FormatTemperature(31, 0), "-1");
    EXPECT_EQ(FormatTemperature(-40, 0), "-40");
    EXPECT_EQ(FormatPressure(-5, 2), "-0.05");
}

TEST_F(RawRecordsTest, InstRecordSetsByteOrderAndMarkerOverridesTable) {
    for (const char* model : {"RVA110", "TS", "ZQM185"})
        EXPECT_TRUE(IsKnownModel(model)) << model;
    for (const char* model : {"rva110", "RVA110 ", "T", ""})
        EXPECT_FALSE(IsKnownModel(model)) << model;
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

TEST_F(RawRecordsTest, ParsesCoordinateText) {
    const std::tuple<const char*, int, int> parsed[] = {
        {"12.3456", 12, 346},     {"-0.25", 0, -250}, {"1.9996", 2, 0},
        {"  7.5 m", 7, 500},      {"abc", 0, 0},      {"1e20", 2147483647, 0},
        {"-1e20", -2147483647, 0}};
    for (const auto& [text, whole, thousandths] : parsed) {
        const RawCoordinate value = ParseCoordinate(text);
        EXPECT_EQ(std::tie(value.whole, value.thousandths), std::tie(whole, thousandths)) << text;
    }
}

TEST_F(RawRecordsTest, PointRecordsBecomeRecordLines) {
    // A PT record as a card holds it, little-endian: name, code, then N, E and Z.
    const std::string bytes("\x04P1\0\0\0\0\0\0\0KC\0\0\0\0\0\0\0"
                            "\xD2\x04\0\0\x37\x02\0\0\0\0\x06\xFF\xF4\xFF\xFF\xFF\xA7\xFE"
                            "\0\0\0\0\0",
                            42);
    RawRecord pt;
    std::copy(bytes.begin(), bytes.end(), pt.begin());
    EXPECT_EQ(PtRecordToPointLine(state, pt, false),
              "P1       KC       1234.567     -0.250       -12.345      ");
    EXPECT_FALSE(state.bigEndian);

    SetDistanceUnit(state, 1);
    const RawRecord feet =
        RawRecordBuilder(kTypePt, true).Bytes(1, "P2").Coordinate(19, 100, 0).Build();
    EXPECT_EQ(RecordLineN(PtRecordToPointLine(state, feet, true)), "328.080");
    EXPECT_TRUE(state.bigEndian);

    SetDistanceUnit(state, 0);
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
    // The layout itself: big-endian bytes as the instrument writes them.
    const RawRecord literal = RawRecordBuilder(kTypeCrd, true)
                                  .Bytes(23, std::string("\xFF\xFF\xFF\xF4\xFE\xA7", 6))
                                  .Build();
    EXPECT_EQ(RecordLineN(CoordRecordToPointLine(state, literal, true)), "-12.345");
    const RawRecord wide = RawRecordBuilder(kTypeCrd, true).Coordinate(23, 2000000000, 0).Build();
    EXPECT_THROW(CoordRecordToPointLine(state, wide, true), ConversionError);
}

TEST_F(RawRecordsTest, RecordLineBecomesCardPtRecordInTheCardsByteOrder) {
    const std::string line = MakeRecordLine("AB\xD6\xD0"
                                            "C",
                                            "LONGCODE9", "1.5", "-0.25", "-12.3456");
    RawRecord record;
    record.fill(0xEE);
    PointLineToPtRecord(line, record, CardByteOrder::BigEndian);
    EXPECT_EQ(record[0], kTypePt);
    EXPECT_EQ(Field(record, 1, 4), std::string("AB\0\xEE", 4));
    // FitName has made the code LONGCO-9 in the record line.
    EXPECT_EQ(Field(record, 10, 9), std::string("LONGCO-9\0", 9));
    EXPECT_EQ(Field(record, 19, 18), std::string("\0\0\0\x01\x01\xF4\0\0\0\0\xFF\x06\xFF\xFF\xFF"
                                                 "\xF4\xFE\xA6",
                                                 18));
    EXPECT_EQ(Field(record, 37, 5), std::string(5, '\xEE'));

    state.bigEndian = true; // the decoding state's byte order plays no part
    PointLineToPtRecord(line, record, CardByteOrder::LittleEndian);
    EXPECT_EQ(Field(record, 19, 18), std::string("\x01\0\0\0\xF4\x01\0\0\0\0\x06\xFF\xF4\xFF\xFF"
                                                 "\xFF\xA6\xFE",
                                                 18));
    // Card words on their own, with four different bytes: stored as the card orders them.
    const std::uint32_t big = CardWord32(0x12345678, CardByteOrder::BigEndian);
    const std::uint32_t little = CardWord32(0x12345678, CardByteOrder::LittleEndian);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&big), 4), "\x12\x34\x56\x78");
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(&little), 4), "\x78\x56\x34\x12");
}

} // namespace
} // namespace stadix
