#include "rawconv/PolarText.h"

#include "base/FileIO.h"
#include "tests/support/RawRecordSamples.h"

#include <gtest/gtest.h>

namespace stadix {
namespace {

using namespace test;

// A STN or BS record of the group: height 1.5, north 100, east 200, elevation 5.
RawRecord Point(std::uint8_t type, const std::string& name, std::uint8_t group,
                const std::string& code = "") {
    RawRecordBuilder record = Named(type, name, code).Float(19, 1.5f);
    record.Coordinate(23, 100, 0).Coordinate(29, 200, 0).Coordinate(35, 5, 0);
    return record.Byte(41, group).Build();
}

RawRecord Distance(const std::string& name, std::uint8_t group) {
    return Named(kTypeDist, name, "").Float(19, 1.5f).Float(23, 12.3456f).Byte(41, group).Build();
}

std::string PointLine(const std::string& name) {
    return name + ",1.500,200.000,100.000,5.000";
}

std::string DistanceLine(const std::string& name) {
    return name + ",1.500,12.346,12.3456,90.0000";
}

std::string Polar(const DecodeState& state, const std::string& store) {
    std::string text;
    WritePolarText(state, store, text);
    return text;
}

// Each station is followed by its backsights, the last met first, then its distances.
// The scan starts behind each station and wraps round to the start of the store; two
// stations of one group both list its observations; other types, observations of no
// station and a partial record never appear; the store's UNIT record is not applied.
TEST(PolarText, EachStationScansTheWholeStoreFromBehindIt) {
    EXPECT_EQ(Polar(DecodeState(), Store({Distance("P1", 1), Point(kTypeBs, "B", 1)})), "");
    std::string store = Store(
        {Distance("D0", 2), Point(kTypeStn, "S1", 2), Point(kTypeBs, "X", 2), Distance("D1", 2),
         Named(kTypeAng, "N1", "").Byte(41, 2).Build(), Point(kTypeCrd, "N2", 2),
         Point(kTypePt, "N3", 2), Named(kTypeBkb, "N4", "").Byte(41, 2).Build(),
         Point(kTypeBs, "Y", 2, "K1"), Unit(1, 1, 0, 0, 0, 0, 1.0f), Point(kTypeStn, "S2", 3),
         Distance("E", 3), Point(kTypeStn, "S3", 2), Distance("D2", 2), Point(kTypeBs, "Z", 2),
         Distance("O1", 9), Point(kTypeBs, "O2", 9)});
    store += "\x03partial";
    const std::string text = Polar(DecodeState(), store);
    const auto p = PointLine;
    const auto d = DistanceLine;
    const std::string y = p("Y") + ",K1";
    EXPECT_EQ(text,
              JoinLinesCrLf({p("S1"), p("Z"), y, p("X"), d("D1"), d("D2"), d("D0"), "", p("S2"),
                             d("E"), "", p("S3"), y, p("X"), p("Z"), d("D2"), d("D0"), d("D1")}));
}

} // namespace
} // namespace stadix
