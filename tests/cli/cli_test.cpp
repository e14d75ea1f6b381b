#include "app/FileIO.h"
#include "app/RecordLine.h"
#include "tests/support/CliFolderTest.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace fs = std::filesystem;

namespace {

using CliTest = stadix::test::CliFolderTest;

// A measurement file of one INST record and nothing in it.
const std::string kInst = '\x81' + std::string(41, '\0');

std::string Line(const char* pt, const char* n, const char* e, const char* z, const char* code) {
    return stadix::MakeRecordLine(pt, code, n, e, z);
}

} // namespace

TEST_F(CliTest, HelpAndVersion) {
    EXPECT_EQ(Cli("--version")->Out(), "stadix-cli 4.1\n");
    auto help = Cli("--help"), verbHelp = Cli("export --help");
    EXPECT_EQ(std::make_pair(help->Wait(), verbHelp->Wait()), std::make_pair(0, 0));
    EXPECT_NE(help->Out().find("export --format"), std::string::npos);
    EXPECT_NE(verbHelp->Out().find("INPUT OUTPUT"), std::string::npos);
}

TEST_F(CliTest, ExportsAJobAsSaveWritesIt) {
    // Row 2 is incomplete; Z of row 3 is empty in the table.
    Write("in.JCD", Line("P1", "1", "2", "3", "TREE") + "\r\n" + "P2\r\n" +
                        std::string("P3                1.5          2.25") + "\n");
    auto jcd = Cli("export @in.JCD @out.jcd --format jcd");
    EXPECT_EQ(jcd->Wait(), 0) << jcd->Err();
    EXPECT_EQ(Read("out.jcd"), Line("P1", "1", "2", "3", "TREE") + "\r\n" +
                                   Line("P3", "1.5", "2.25", "0", "") + "\r\n");
    auto txt = Cli("export --format=txt @in.JCD -");
    EXPECT_EQ(txt->Wait(), 0) << txt->Err();
    EXPECT_EQ(txt->Out(), "P1,1.000,2.000,3.000,TREE\r\nP3,1.500,2.250,0.000,\r\n");
}

TEST_F(CliTest, ExportsTheListingOfAMeasurementFile) {
    Write("m.tsm", kInst);
    auto listing = Cli("export --format listing @m.tsm -");
    EXPECT_EQ(listing->Wait(), 0) << listing->Err();
    EXPECT_EQ(listing->Out(), "INST: ,V,No.\r\n");
}

TEST_F(CliTest, RefusesBadInputAndWritesNothing) {
    Write("bad.jcd", std::string("P1                abc          2") + "\r\n");
    auto bad = Cli("export --format jcd @bad.jcd @out.JCD");
    EXPECT_EQ(bad->Wait(), 2);
    EXPECT_NE(bad->Err().find("'abc' is not a valid floating point value"), std::string::npos);
    Write("short.TSM", kInst + "z");
    EXPECT_NE(Cli("export --format listing @short.TSM @out.JCD")->Err().find("43"),
              std::string::npos);
    Write("site.Jcd", "x");
    Write("job.JCD", Line("P1", "1", "2", "3", "") + "\r\n");
    Write("m.tsm", kInst);
    Write("zero.TSM", std::string(84, '\0'));
    for (const char* usage :
         {"frobnicate", "", "export --format nope @job.JCD @out.JCD", "export @job.JCD @out.JCD",
          "export --format jcd @job.JCD", "export --format jcd --bogus @job.JCD @out.JCD"})
        EXPECT_EQ(Code(usage), 1) << usage;
    for (const char* badInput :
         {"export --format jcd @none.JCD @out.JCD", "export --format jcd @site.Jcd @out.JCD",
          "export --format listing @job.JCD @out.JCD", "export --format jcd @m.tsm @out.JCD",
          "export --format listing @short.TSM @out.JCD",
          "export --format listing @zero.TSM @out.JCD"})
        EXPECT_EQ(Code(badInput), 2) << badInput;
    EXPECT_EQ(Code("export --format jcd @job.JCD @missing/out.JCD"), 3);
    EXPECT_FALSE(fs::exists(Path("out.JCD")));
}
