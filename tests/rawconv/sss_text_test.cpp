#include "rawconv/SssText.h"

#include "base/FileIO.h"
#include "formats/ExportFormats.h"

#include "tests/support/RawRecordSamples.h"

#include <gtest/gtest.h>

namespace stadix {
namespace {

using namespace test;

// The comma before the code stands even without a code; coordinates come east first;
// PT, BKB, BS and types outside the table give nothing; every line ends with CR LF.
TEST(SssText, EachRecordTypeHasItsText) {
    DecodeState state;
    const std::string store =
        Store({Dist(true, ""), Observation(kTypeCrd, "K1"), Observation(kTypeStn, ""),
               Named(kTypeAng, "A8", "").Float(19, 0.25f).Build(),
               RawRecordBuilder(kTypeJob, true).Bytes(1, " JOB42  ").Build(),
               Inst(std::string("RVA110 \0\0 ", 10), "   "), Unit(0, 0, 0, 0, 0, 0, 1.0f),
               Observation(kTypePt, "K1"), Observation(kTypeBkb, "K1"), Observation(kTypeBs, "K1"),
               RawRecordBuilder(200, true).Build()});
    EXPECT_EQ(FindMeasurementFormat("sss")->fileBytes(state, store),
              ReadFileBytes(STADIX_GOLDEN_DIR "record-types.sss"));
}

// INST and UNIT records are applied as they are met, whatever the state was before: US
// survey feet show as F, gon as G, mil as M. A partial record at the end is left out.
TEST(SssText, RecordsFollowTheInstAndUnitRecordsBeforeThem) {
    DecodeState state;
    state.feetDisplay = true;
    state.angleUnit = 2;
    std::string store =
        Store({Inst("OTHER", "   "), Unit(0, 0, 0, 0, 0, 0, 1.0f, false), Dist(false, ""),
               Unit(2, 1, 0, 0, 0, 0, 1.0f, false), Dist(false, "K1"), Observation(kTypeBs, ""),
               Unit(1, 2, 0, 0, 0, 0, 1.0f, false)});
    store += "\x01partial";
    std::vector<std::string> items;
    WriteSssText(state, store, items);
    EXPECT_EQ(items, (std::vector<std::string>{
                         "INST    OTHER Ver.2.1 No.S0012345", "UNITS   M,D",
                         "SS      P1,1.500,\r\nSD      12.3456,90.0000,12.346", "UNITS   F,G",
                         "SS      P1,4.92,K1\r\nSD      13.9802,100.0000,40.50", "UNITS   F,M"}));
    EXPECT_TRUE(!state.bigEndian && state.feetDisplay && !state.usSurveyFeet &&
                state.angleUnit == 2);
}

} // namespace
} // namespace stadix
