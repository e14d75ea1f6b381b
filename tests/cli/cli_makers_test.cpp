// stadix-cli reduce and import of other makers' raw files.
#include "tests/support/CliFolderTest.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using CliTest = stadix::test::CliFolderTest;

// Station S1 at N 5000, E 3000, Z 100 (instrument height 1.55); P1 observed in gon.
const char kGsi[] = "*110001+00000000000000S1 84..10+0000000003000000 85..10+0000000005000000 "
                    "86..10+0000000000100000 88..10+0000000000001550\r\n"
                    "*110002+00000000000000P1 21.102+0000000002484661 22.102+0000000009953075 "
                    "31..06+0000000001334986 87..10+0000000000001300\r\n";
// Then a setup on K1, whose coordinates come only after the next setup has started.
const char kGsiLate[] = "*110003+00000000000000K1 88..10+0000000000001400\r\n"
                        "*110004+00000000000000Q1 21.102+0000000005000000 22.102+0000000009900000 "
                        "31..06+0000000001000000\r\n"
                        "*110005+00000000000000S2 84..10+0000000003000000 85..10+0000000005000000 "
                        "86..10+0000000000100000\r\n"
                        "*110006+00000000000000K1 81..10+0000000003100000 82..10+0000000005100000 "
                        "83..10+0000000000100500\r\n";
// East first: station A, and a point of a long name with a negative easting.
const char kSdr[] = "00NMSDR33 V04-04.02     01-Jan-24 12:00 211121\r\n"
                    "02TP               A3000.000        5000.000        100.000         1.550"
                    "           STN\r\n"
                    "08KI      LONGNAME10-12.5           5200.000        101.000\r\n";

} // namespace

TEST_F(CliTest, ReducesAndImportsOtherMakersFiles) {
    Write("s.gsi", kGsi);
    Write("e.txt", kSdr);
    EXPECT_EQ(Code("reduce @s.gsi @out.jcd"), 0);
    EXPECT_EQ(Read("out.jcd"), "S1                5000.000     3000.000     100.000      \r\n"
                               "P1                5123.456     3050.789     101.234      \r\n");
    const auto import = Cli("import --format sdr @e.txt @in.jcd");
    EXPECT_EQ(import->Wait(), 0);
    EXPECT_EQ(Read("in.jcd"), "A        STN      5000.000     3000.000     100.000      \r\n"
                              "LONGNAME          5200.000     -12.500      101.000      \r\n");
    EXPECT_NE(import->Err().find("LONGNAME10 -> LONGNAME"), std::string::npos) << import->Err();

    for (const char* refused :
         {"reduce --from rw5 @s.gsi @bad.jcd", "import --format gsi @e.txt @bad.jcd"}) {
        const auto cli = Cli(refused);
        EXPECT_EQ(cli->Wait(), 2) << refused;
        EXPECT_NE(cli->Err().find("Line 1: not a"), std::string::npos) << cli->Err();
    }
    EXPECT_FALSE(std::filesystem::exists(Path("bad.jcd")));
}

// A file read twice for coordinates that come late: the job and the report as read once
// knowing them; a file refused part way leaves neither.
TEST_F(CliTest, ReducesAFileWhoseStationCoordinatesComeLate) {
    Write("late.gsi", std::string(kGsi) + kGsiLate);
    EXPECT_EQ(Code("reduce @late.gsi @late.jcd --report @late.txt"), 0);
    EXPECT_EQ(Read("late.jcd"), "S1                5000.000     3000.000     100.000      \r\n"
                                "P1                5123.456     3050.789     101.234      \r\n"
                                "K1                5100.000     3100.000     100.500      \r\n"
                                "Q1                5170.702     3170.702     102.171      \r\n"
                                "S2                5000.000     3000.000     100.000      \r\n");
    const std::string report = Read("late.txt");
    EXPECT_EQ(report.rfind("Coordinates from measurements"), 0u) << report;
    EXPECT_NE(report.find("Setup 2: station K1 (line 3)\n  Station: N 5100.000"), std::string::npos)
        << report;

    Write("broken.gsi", std::string(kGsi) + kGsiLate + "*110007+P9 21.1x2+1\r\n");
    EXPECT_EQ(Code("reduce @broken.gsi @broken.jcd --report @broken.txt"), 2);
    EXPECT_FALSE(std::filesystem::exists(Path("broken.jcd")));
    EXPECT_FALSE(std::filesystem::exists(Path("broken.txt")));
}
