#include "formats/ExportFormats.h"

#include "tests/support/RawRecordSamples.h"

#include <gtest/gtest.h>

namespace stadix {
namespace {

std::vector<std::string> Descriptions(const UserFormat& layout) {
    std::vector<std::string> entries;
    for (const CoordinateFormat& format : kCoordinateFormats) {
        const DialogEntry entry = CoordinateDialogEntry(format, layout);
        entries.push_back(entry.description + "|" + entry.pattern);
    }
    return entries;
}

// The save dialog's entries in order, the user layout's from the layout; without an
// extension it offers every file and the dialog no default extension.
TEST(ExportFormats, DialogEntriesOfBothViews) {
    UserFormat layout = DefaultUserFormat();
    layout.name = "Stake out";
    layout.extension = "stk";
    EXPECT_EQ(Descriptions(layout),
              (std::vector<std::string>{"Topcon GTS-700/600/800 Coords(*.pts)|*.pts",
                                        "CSV File(comma separated)(*.CSV)|*.CSV",
                                        "AutoCAD DXF File(*.DXF)|*.DXF",
                                        "SIMA Data File(*.sim)|*.sim", "Stake out(User's)|*.stk"}));
    EXPECT_EQ(CoordinateDialogDefaultExtension(layout), "pts");
    layout.extension.clear();
    EXPECT_EQ(Descriptions(layout).back(), "Stake out(User's)|*.*");
    EXPECT_EQ(CoordinateDialogDefaultExtension(layout), "");
    std::vector<std::string> measurement;
    for (const MeasurementFormat& format : kMeasurementFormats) {
        const DialogEntry entry = MeasurementDialogEntry(format);
        measurement.push_back(entry.description + "|" + entry.pattern);
    }
    EXPECT_EQ(measurement,
              (std::vector<std::string>{"Topcon GTS-700/600/800 Meas.data(SSS format)|*.txt",
                                        "Polar Format Dat(*.dat)|*.dat"}));
}

// Every line of a measurement text ends with CR LF, the two lines of one SSS item too;
// an empty store gives an empty file.
TEST(ExportFormats, MeasurementTextsEndEveryLine) {
    const std::string store = test::Store({test::Dist(true, "")});
    DecodeState state;
    EXPECT_EQ(FindMeasurementFormat("sss")->fileBytes(state, store),
              "SS      P1,1.500,\r\nSD      12.3456,90.0000,12.346\r\n");
    EXPECT_EQ(FindMeasurementFormat("sss")->fileBytes(state, ""), "");
    const std::string stations =
        test::Store({test::RawRecordBuilder(kTypeStn, true).Bytes(1, "A").Build(),
                     test::RawRecordBuilder(kTypeStn, true).Bytes(1, "B").Build()});
    EXPECT_EQ(FindMeasurementFormat("polar")->fileBytes(state, stations),
              "A,0.000,0.000,0.000,0.000\r\n\r\nB,0.000,0.000,0.000,0.000\r\n");
}

} // namespace
} // namespace stadix
