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
