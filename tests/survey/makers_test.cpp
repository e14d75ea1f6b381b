// Other makers' raw files written as their instruments and field software write them,
// from chosen true coordinates: read and reduced, they must give those coordinates back.
#include "base/FileIO.h"
#include "job/RecordLine.h"
#include "survey/GsiMeasurements.h"
#include "survey/Reduction.h"
#include "survey/ReductionReport.h"
#include "survey/Rw5Measurements.h"
#include "survey/SdrMeasurements.h"
#include "survey/StoredPoints.h"
#include "survey/StreamedReduction.h"
#include "survey/TextRecords.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace stadix {
namespace {

// Station S1 (A, 1) at N 5000, E 3000, Z 100; P1, P2 and LONGNAME10 observed from it.
// GSI-16: gon, lengths to the millimetre and slope distances to 1/10 mm; P1 in both faces
// with the instrument's own coordinates of it, a code block between the observations.
const char kGsi16[] =
    R"(*110001+00000000000000S1 84..10+0000000003000000 85..10+0000000005000000 86..10+0000000000100000 88..10+0000000000001550
*110002+00000000000000P1 21.102+0000000002484661 22.102+0000000009953075 31..06+0000000001334986 87..10+0000000000001300 81..10+0000000003050789 82..10+0000000005123456 83..10+0000000000101234
*110003+00000000000000P1 21.102+0000000022484661 22.102+0000000030046925 31..06+0000000001334986
*410004+0000000000000012 42....+000000000000TREE
*110005+00000000000000P2 21.102+0000000012942267 22.102+0000000010024157 31..06+0000000002240022 87..10+0000000000001800 71....+00000000000HEDGE
*110006+000000LONGNAME10 21.102+0000000036518894 22.102+0000000010096399 31..06+0000000002113362 87..10+0000000000001300
)";

// GSI-8: degrees-minutes-seconds, lengths in feet to 1/1000 and slope distances to 1/10000;
// the instrument height raised by 0.5 on the last observation.
const char kGsi8[] =
    R"(110001+000000S1 84..11+03000000 85..11+05000000 86..11+00100000 88..11+00005000
110002+000000P1 21.104+02221430 22.104+08953584 31..07+01334952 87..11+00004000
110003+000000P2 21.104+11628494 22.104+09032137 31..07+02240104
110004+00000L10 21.104+32840122 22.104+09104152 31..07+02113489 88..11+00005500
)";

// SDR33 in gon, east first: oriented on B, whose coordinates the file gives and which it
// observes; P2 in both faces.
const char kSdrEastFirst[] = R"(00NMSDR33 V04-04.02     01-Jan-24 12:00 211121
01NM:SET5F V01-00    020078                      31
02TP               A3000.000        5000.000        100.000         1.550           STN
08KI               B3000.000        5200.000        101.000         BS
03NM1.600
07TP               A               B
09F1               A               B200.0028        99.66578        350.00000
09F1               A              P1133.5011        99.38770        374.84661       CODE
09F1               A              P2224.0031        100.29841       79.42267
09F2               A              P2224.0031        299.70159       279.42267
)";

// SDR33 in gon, north first, vertical angles from the horizon: oriented by the azimuth
// and circle its backsight record states. SDR2x: the same with 4-character ids.
const char kSdrNorthFirst[] = R"(00NMSDR33 V04-04.02     01-Jan-24 12:00 211111
01NM:SET5F V01-00    020078                      32
02TP               A5000.000        3000.000        100.000         1.550
03NM1.300
07TP               A               B0.00000         280.00000
09F1               A              P1133.4986        0.46925         304.84661
09F1               A      LONGNAME10211.3362        -0.96399        245.18894
)";
const char kSdr2x[] = R"(00NMSDR20V03-05         01-Jan-24 12:00 211111
02TP   15000.000  3000.000  100.000   1.550
03NM1.300
07TP   1   20.00000   280.00000
09F1   1   7133.4986  99.53075  304.84661
)";

// RW5 in US feet: backsight and foresight in both faces, the instrument height changed
// before the last shot.
const char kRw5[] = R"(JB,NMTEST,DT01-01-2024,TM12:00:00
MO,AD0,UN2,SF1.00000000,EC0,EO0.0,AU0
SP,PN1,N 5000.0000,E 3000.0000,EL100.0000,--CP
SP,PN2,N 5200.0000,E 3000.0000,EL101.0000,--CP
OC,OP1,N 5000.0000,E 3000.0000,EL100.0000
BK,OP1,BP2,BS0.00000,BC30.00000
LS,HI5.0000,HR6.0000
BD,OP1,FP2,AR30.00000,ZE89.25374,SD200.0100
BR,OP1,FP2,AR210.00000,ZE270.34226,SD200.0100
FD,OP1,FP3,AR52.21430,ZE89.02285,SD133.5137,--TREE
FR,OP1,FP3,AR232.21430,ZE270.57315,SD133.5137,--TREE
--Instrument height changed
LS,HI5.5000
SS,OP1,FP4,AR146.28494,ZE90.09125,SD224.0014
)";

struct Point {
    const char* name;
    double north, east, elevation; // in the file's distance unit
};

const Point S{"S1", 5000, 3000, 100}, A{"A", 5000, 3000, 100}, One{"1", 5000, 3000, 100};
const Point P1{"P1", 5123.456, 3050.789, 101.234}, P2{"P2", 4900.12, 3200.5, 98.9},
    LongName{"LONGNAME", 5180.5, 2890.125, 97.05};

struct Case {
    const char* what;
    Measurements (*read)(std::string_view);
    const char* text;
    std::vector<Point> expected; // in output order
};

TEST(MakersFiles, SampleFilesReduceToTheirTrueCoordinates) {
    const Case cases[] = {
        {"GSI-16", ReadGsiMeasurements, kGsi16, {S, P1, P2, LongName}},
        {"GSI-8", ReadGsiMeasurements, kGsi8, {S, P1, P2, {"L10", 5180.5, 2890.125, 97.55}}},
        {"SDR33 east first", ReadSdrMeasurements, kSdrEastFirst, {A, P1, P2}},
        {"SDR33 north first", ReadSdrMeasurements, kSdrNorthFirst, {A, P1, LongName}},
        {"SDR2x", ReadSdrMeasurements, kSdr2x, {One, {"7", 5123.456, 3050.789, 101.234}}},
        {"RW5",
         ReadRw5Measurements,
         kRw5,
         {One, {"3", 5123.456, 3050.789, 101.234}, {"4", 4900.12, 3200.5, 98.9}}},
    };
    for (const Case& c : cases) {
        const std::vector<std::string> lines = Reduce(c.read(c.text), {}).recordLines;
        ASSERT_EQ(lines.size(), c.expected.size()) << c.what;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const Point& p = c.expected[i];
            EXPECT_EQ(RecordLinePt(lines[i]), p.name) << c.what;
            EXPECT_NEAR(std::stod(RecordLineN(lines[i])), p.north, 0.003) << c.what << p.name;
            EXPECT_NEAR(std::stod(RecordLineE(lines[i])), p.east, 0.003) << c.what << p.name;
            EXPECT_NEAR(std::stod(RecordLineZ(lines[i])), p.elevation, 0.003) << c.what << p.name;
        }
    }
}

TEST(MakersFiles, LinesNotOfTheirKindAreRefusedByNumber) {
    struct Refusal {
        Measurements (*read)(std::string_view);
        const char* text;
        std::size_t line;
        const char* why;
    };
    const Refusal refusals[] = {
        {ReadGsiMeasurements, "110001+000000S1\r\n\r\n110002+000000P1 21.104+0000000002221430\r\n",
         3, "more than 8 characters of data in a GSI-8 word"},
        {ReadGsiMeasurements, "*110001+00000000000000S1 21.1x2+0000000002484661\n", 1,
         "not a GSI word"},
        {ReadSdrMeasurements,
         "00NMSDR33 V04-04.02     01-Jan-24 12:00 211111\n02TP               A\n"
         "09F1               A              P1133.4986        9x.53075        304.84661\n",
         3, "vertical angle is not a number"},
        {ReadRw5Measurements, "MO,AD0,UN2\nSS,OP1,FP3,AR52.61430,ZE89.02285\n", 2,
         "SS AR is not an angle"},
        {ReadRw5Measurements, kSdrNorthFirst, 1, "not an RW5 record"},
        {ReadRw5Measurements, "\nP1,5000.0,3000.0\nP2,4900.0,3200.0\n", 2,
         "not an RW5 record: 'P1,"},
        {ReadSdrMeasurements, "1001,5000.0,3000.0\n", 1, "starts with its header"},
    };
    for (const Refusal& refusal : refusals) {
        try {
            refusal.read(refusal.text);
            ADD_FAILURE() << refusal.why;
        } catch (const FormatError& error) {
            EXPECT_EQ(error.line, refusal.line) << refusal.why;
            EXPECT_NE(std::string(error.what()).find(refusal.why), std::string::npos)
                << error.what();
        }
    }
}

// The points a file stores in input order, and each file's listing of a record.
TEST(MakersFiles, StoredPointsAndListings) {
    const StoredPointLines stored = StoredPointRecordLines(ReadSdrMeasurements(kSdrEastFirst));
    EXPECT_EQ(stored.lines, (std::vector<std::string>{
                                "A        STN      5000.000     3000.000     100.000      ",
                                "B        BS       5200.000     3000.000     101.000      "}));
    const std::string listings[] = {GsiListing(kGsi8), SdrListing(kSdrEastFirst), Rw5Listing(kRw5)};
    const char* expected[] = {
        "Line 2: point P1, horizontal circle 22°21'43.0\", zenith angle 89°53'58.4\", slope "
        "distance 133.4952 US ft, target height 4.000 US ft\n",
        "Line 3: station (02TP): station A, easting 3000.000 m, northing 5000.000 m, elevation "
        "100.000 m, instrument height 1.550 m, description STN\n",
        "Line 11: foresight, reverse (FR): occupied point 1, foresight point 3, angle right "
        "232°21'43.0\", zenith angle 270°57'31.5\", slope distance 133.5137 US ft, note TREE\n"};
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_NE(listings[i].find(expected[i]), std::string::npos) << listings[i];
}

// Further setups after each sample: one on a point computed before, which measures a
// point again, and one on a station whose coordinates come only after the next setup.
const std::string kGsiSetups =
    std::string(kGsi16) + R"(*110007+00000000000000P1 88..10+0000000000001500
*110008+00000000000000P2 21.102+0000000010000000 22.102+0000000010000000 31..06+0000000002000000
*110009+00000000000000K1 88..10+0000000000001400
*110010+00000000000000Q1 21.102+0000000005000000 22.102+0000000009900000 31..06+0000000001000000
*110011+00000000000000S2 84..10+0000000003000000 85..10+0000000005000000 86..10+0000000000100000
*110012+00000000000000K1 81..10+0000000003100000 82..10+0000000005100000 83..10+0000000000100500
)";
const std::string kSdrSetups =
    std::string(kSdrEastFirst) +
    R"(02TP              P1                                                  1.500
07TP              P1               A
09F1              P1               A133.5011        99.38770        174.84661
09F1              P1              P2100.0000        99.00000        20.00000
02TP              K1                                                  1.400
09F1              K1              Q1100.0000        99.00000        20.00000
02TP              S2                                                  1.500
08KI              K13100.000        5100.000        100.500         GIVEN
)";
const std::string kRw5Setups = std::string(kRw5) + R"(OC,OP3
BK,OP3,BP1,BS0.00000,BC10.00000
SS,OP3,FP4,AR146.28494,ZE90.09125,SD224.0014
OC,OP8
SS,OP8,FP9,AR46.28494,ZE90.09125,SD124.0014
OC,OP10
SP,PN8,N 5100.0000,E 3100.0000,EL100.0000
)";

// Target T measured due north at 10 m from five stations, which put it at N 10.000 E 0,
// N 10.000 E 0.030, N 10.040 E 0, N 10.040 E 0.010 and N 10.020 E 0.015: 0.050 apart at
// most, the last one inside the others; heights from 100.000 to 100.004.
const char kGsiFiveSetups[] =
    R"(*110001+00000000000000S1 84..10+0000000000000000 85..10+0000000000000000 86..10+0000000000100000 88..10+0000000000001500
*110002+000000000000000T 21.102+0000000000000000 22.102+0000000010000000 31..06+0000000000100000 87..10+0000000000001500
*110003+00000000000000S2 84..10+0000000000000030 85..10+0000000000000000 86..10+0000000000100004 88..10+0000000000001500
*110004+000000000000000T 21.102+0000000000000000 22.102+0000000010000000 31..06+0000000000100000 87..10+0000000000001500
*110005+00000000000000S3 84..10+0000000000000000 85..10+0000000000000040 86..10+0000000000100001 88..10+0000000000001500
*110006+000000000000000T 21.102+0000000000000000 22.102+0000000010000000 31..06+0000000000100000 87..10+0000000000001500
*110007+00000000000000S4 84..10+0000000000000010 85..10+0000000000000040 86..10+0000000000100002 88..10+0000000000001500
*110008+000000000000000T 21.102+0000000000000000 22.102+0000000010000000 31..06+0000000000100000 87..10+0000000000001500
*110009+00000000000000S5 84..10+0000000000000015 85..10+0000000000000020 86..10+0000000000100003 88..10+0000000000001500
*110010+000000000000000T 21.102+0000000000000000 22.102+0000000010000000 31..06+0000000000100000 87..10+0000000000001500
)";

// What a maker's file gives reduced as it is read: its record lines and its report, which
// starts again when the file is read a second time.
struct AsRead {
    std::vector<std::string> lines;
    std::string report;
    StreamedReductionCounts counts;
};

AsRead ReduceAsRead(const MakersFormat& format, const std::string& path) {
    AsRead read;
    StreamedReductionOutput output;
    output.startReport = [&read]() -> ReductionReportWriter::Write {
        read.report.clear();
        return [&read](std::string_view piece) { read.report += piece; };
    };
    output.recordLine = [&read](std::string&& line) { read.lines.push_back(line); };
    read.counts = ReduceMakersFile(format, path, {}, output);
    return read;
}

class MakersFileAsRead : public test::TempFolderTest {};

// A setup at a time, each file gives what it gives read whole, the report too; one saved
// by a Windows editor starts with a byte order mark.
TEST_F(MakersFileAsRead, GivesWhatTheWholeFileGives) {
    const std::pair<const char*, std::string> files[] = {
        {"gsi", kGsiSetups},     {"gsi", kGsi8},
        {"gsi", kGsiFiveSetups}, {"rw5", "\xEF\xBB\xBF" + std::string(kRw5)},
        {"sdr", kSdrSetups},     {"sdr", kSdr2x},
        {"rw5", kRw5Setups},     {"rw5", "MO,AD0,UN2\nSS,OP1,FP3\n"},
    };
    for (const auto& [word, text] : files) {
        const MakersFormat& format = *FindMakersFormat(word);
        WriteFileAtomically(Path("file"), text);
        const Measurements measurements = format.read(text);
        const Reduction whole = Reduce(measurements, {});
        const AsRead read = ReduceAsRead(format, Path("file"));
        EXPECT_EQ(read.lines, whole.recordLines) << text;
        EXPECT_EQ(read.report, ReductionReport(measurements, {}, whole)) << text;
        EXPECT_EQ(read.counts.setups, measurements.setups.size()) << text;
        EXPECT_EQ(read.counts.records, whole.recordLines.size()) << text;
    }
}

// A station whose coordinates the file gives only after its setup takes them: the file is
// read again knowing them, and the report tells the second reading only.
TEST_F(MakersFileAsRead, AStationTakesCoordinatesGivenLaterInTheFile) {
    WriteFileAtomically(Path("late.gsi"), kGsiSetups);
    const AsRead read = ReduceAsRead(*FindMakersFormat("gsi"), Path("late.gsi"));
    ASSERT_EQ(read.lines.size(), 7u);
    EXPECT_EQ(read.lines[4], "K1                5100.000     3100.000     100.500      ");
    EXPECT_EQ(read.lines[5], "Q1                5170.702     3170.702     102.171      ");
    EXPECT_EQ(read.report.find("Coordinates from measurements"), 0u);
    EXPECT_EQ(read.report.rfind("Coordinates from measurements"), 0u);
    EXPECT_NE(read.report.find("  P2  2 setups"), std::string::npos) << read.report;
}

TEST_F(MakersFileAsRead, APointOfManySetupsIsToldWithTheSpreadOfItsPositions) {
    WriteFileAtomically(Path("five.gsi"), kGsiFiveSetups);
    const AsRead read = ReduceAsRead(*FindMakersFormat("gsi"), Path("five.gsi"));
    EXPECT_NE(read.report.find("\n  T  5 setups, horizontal spread 0.050, height spread 0.004 m\n"),
              std::string::npos)
        << read.report;
}

} // namespace
} // namespace stadix

// Every kind of line end ends a line, a CR LF once; a last line without one counts too. A
// byte order mark is no part of the first line.
TEST(MakersTextLines, EachKindOfLineEndEndsALine) {
    std::vector<std::pair<std::string, std::size_t>> lines;
    stadix::ForEachLine(
        "\xEF\xBB\xBF"
        "a\r\nb\rc\n\rd",
        [&](std::string_view line, std::size_t number) { lines.emplace_back(line, number); });
    const std::vector<std::pair<std::string, std::size_t>> expected = {
        {"a", 1}, {"b", 2}, {"c", 3}, {"", 4}, {"d", 5}};
    EXPECT_EQ(lines, expected);
}
