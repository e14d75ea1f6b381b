#include "rawconv/Listing.h"

#include "base/FileIO.h"
#include "rawconv/MeasurementFile.h"
#include "tests/support/RawRecordSamples.h"

#include <gtest/gtest.h>

#include <limits>

namespace stadix {
namespace {

using namespace test;

class ListingTest : public ::testing::Test {
  protected:
    DecodeState state;
};

// The code ends a line only when there is one; a PT record never shows it; a DIST
// record shows the horizontal before the vertical angle; unknown types add nothing and
// change nothing; UNIT settings out of range show their defaults.
TEST_F(ListingTest, EachRecordTypeHasItsLine) {
    RawRecordBuilder pt = Named(kTypePt, "P9", "K1"),
                     odd = Named(kTypeDist, "NONULNAME", "CODE5678X");
    pt.Coordinate(19, 1, 2).Coordinate(25, 3, 4).Coordinate(31, 5, 6);
    odd.Float(19, std::numeric_limits<float>::infinity()).UInt32(27, 4294967295u);
    odd.Float(23, std::numeric_limits<float>::quiet_NaN()).UInt32(31, 1295999);
    std::string store =
        Store({Dist(true, ""), Observation(kTypeCrd, ""), Observation(kTypeStn, "K1"),
               Observation(kTypeBs, "K1"), Named(kTypeAng, "A8", "").Float(19, 0.25f).Build(),
               Named(kTypeBkb, "B1", "K1").Build(), pt.Build(),
               RawRecordBuilder(kTypeJob, true).Bytes(1, " JOB42  ").Bytes(9, "XX").Build(),
               odd.Build()});
    for (int type : {7, 128, 132, 200, 255}) {
        RawRecord other = Unit(2, 2, 0, 0, 0, 0, 1.0f);
        other[0] = static_cast<std::uint8_t>(type);
        store += Store({other});
    }
    store += Store({Unit(0, 0, 2, 3, 100, 3, 0.97f), Unit(0, 0, 0, 0, -100, 0, 1.05f),
                    Unit(0, 0, 0, 0, -99, 2, 1.02f),
                    Unit(0, 0, 0, 0, 99, 0, std::numeric_limits<float>::quiet_NaN()),
                    Inst(std::string("RVA110 \0\0 ", 10), "   ")});
    std::vector<std::string> lines;
    RenderListing(state, store, lines);
    EXPECT_EQ(JoinLinesCrLf(lines), ReadFileBytes(STADIX_GOLDEN_DIR "record-types.listing"));
    EXPECT_TRUE(!state.feetDisplay && state.angleUnit == 0);
}

TEST_F(ListingTest, UnitRecordAppliesItsUnitsToItselfAndLaterRecords) {
    EXPECT_EQ(FormatListingRecord(state, Unit(2, 1, 5, 1, 0, 0, 0.99f)),
              "UNIT: 2,1,1,1\r\nEDM:  68,760,-12,0,0,0.990000");
    EXPECT_EQ(FormatListingRecord(state, Dist(true, "")), "DIST: P1,4.92,13.9802,100.0000,40.50");
    EXPECT_EQ(FormatListingRecord(state, Observation(kTypeCrd, "")),
              "CRD:  A7,6.56,328.09,-16.47,-0.98");

    // Out-of-range codes: the units in force stay and are shown.
    EXPECT_EQ(FormatListingRecord(state, Unit(7, 9, 0, 0, 0, 0, 1.0f)).substr(0, 14),
              "UNIT: 2,1,0,0\r");
    EXPECT_EQ(FormatListingRecord(state, Unit(0, 2, 0, 0, 0, 0, 1.0f)).substr(0, 14),
              "UNIT: 0,2,0,0\r");
    EXPECT_EQ(FormatListingRecord(state, Dist(true, "")), "DIST: P1,1.500,223.684,1600.000,12.346");
}

// The INST record decides the byte order of what follows; a UNIT record gives two lines;
// a partial record at the end is left out.
TEST_F(ListingTest, RendersAStoreInOrderIgnoringAPartialRecord) {
    std::string store =
        Store({Inst("OTHER", "   "), Dist(false, "K1"), Unit(1, 0, 0, 0, -30, 1, 1.0f, false),
               RawRecordBuilder(200, true).Build()});
    store += "\x01partial";
    std::vector<std::string> lines{"before"};
    RenderListing(state, store, lines);
    EXPECT_EQ(lines,
              (std::vector<std::string>{"before", "INST: OTHER,V2.1,No.S0012345",
                                        "DIST: P1,1.500,12.3456,90.0000,12.346,K1", "UNIT: 1,0,0,0",
                                        "EDM:  20,1013,-12,1,-30,1.000000"}));
}

TEST_F(ListingTest, ChecksMeasurementFiles) {
    const std::string valid = Store({Inst("TS", "   "), Dist(true, "")});
    EXPECT_EQ(CheckMeasurementFile(valid), "");
    EXPECT_EQ(CheckMeasurementFile(""), "The measurement file is empty.");
    EXPECT_EQ(CheckMeasurementFile(valid + "x"),
              "The measurement file has 85 bytes, which is not a whole number of 42-byte "
              "records.");
    EXPECT_EQ(CheckMeasurementFile(Store({Dist(true, ""), Inst("TS", "   ")})),
              "The measurement file does not begin with an INST record.");
}

} // namespace
} // namespace stadix
