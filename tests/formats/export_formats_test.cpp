#include "formats/ExportFormats.h"

#include "tests/support/RawRecordSamples.h"

#include <gtest/gtest.h>

namespace stadix {
namespace {

// The user layout's save dialog entry, from the layout; the entries in order, without an
// extension, and those of the measurement view: the main window's export test.
TEST(ExportFormats, UserEntryTakesTheLayoutsNameAndExtension) {
    UserFormat layout = DefaultUserFormat();
    layout.name = "Stake out";
    layout.extension = "stk";
    const DialogEntry user = CoordinateDialogEntry(*FindCoordinateFormat("user"), layout);
    EXPECT_EQ(user.description + "|" + user.pattern, "Stake out(User's)|*.stk");
    EXPECT_EQ(CoordinateDialogDefaultExtension(layout), "pts");
}

// Every line of a measurement text ends with CR LF (the SSS text's test shows its
// items); an empty store gives an empty file.
TEST(ExportFormats, MeasurementTextsEndEveryLine) {
    DecodeState state;
    EXPECT_EQ(FindMeasurementFormat("sss")->fileBytes(state, ""), "");
    const std::string stations =
        test::Store({test::RawRecordBuilder(kTypeStn, true).Bytes(1, "A").Build(),
                     test::RawRecordBuilder(kTypeStn, true).Bytes(1, "B").Build()});
    EXPECT_EQ(FindMeasurementFormat("polar")->fileBytes(state, stations),
              "A,0.000,0.000,0.000,0.000\r\n\r\nB,0.000,0.000,0.000,0.000\r\n");
}

} // namespace
} // namespace stadix
