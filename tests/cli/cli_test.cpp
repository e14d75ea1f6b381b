#include "base/FileIO.h"
#include "job/RecordLine.h"
#include "tests/support/CliFolderTest.h"
#include "tests/support/RawRecordSamples.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <tuple>

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

// Usage errors are 1, input that cannot be used 2 (with the window's message), an
// output that cannot be written 3; nothing is written.
TEST_F(CliTest, RefusesBadInputAndWritesNothing) {
    Write("bad.jcd", std::string("P0\r\nP1                abc          2") + "\r\n");
    Write("short.TSM", kInst + "z");
    Write("site.Jcd", "x");
    Write("job.JCD", Line("P1", "1", "2", "3", "") + "\r\n");
    Write("m.tsm", kInst);
    Write("zero.TSM", std::string(84, '\0'));
    Write("titled.csv", "\"P1\",1,2,3\nPT,N,E,Z\n");
    const char* const importError = "Importing Error\xEF\xBC\x81\nLine 2: ";
    const std::tuple<const char*, int, const char*> refused[] = {
        {"frobnicate", 1, ""},
        {"", 1, ""},
        {"export --format nope @job.JCD @out.JCD", 1, ""},
        {"export @job.JCD @out.JCD", 1, ""},
        {"export --format jcd @job.JCD", 1, ""},
        {"export --format jcd --bogus @job.JCD @out.JCD", 1, ""},
        {"import --format xyz @job.JCD @out.JCD", 1, ""},
        {"convert --from dxf --to pts @titled.csv @out.JCD", 1, ""},
        {"convert --from csv --to dwg @titled.csv @out.JCD", 1, ""},
        {"export --format jcd @bad.jcd @out.JCD", 2,
         "Row 2, N/X: 'abc' is not a valid floating point value"},
        {"export --format jcd @none.JCD @out.JCD", 2, ""},
        {"export --format jcd @site.Jcd @out.JCD", 2, ""},
        {"export --format listing @job.JCD @out.JCD", 2, ""},
        {"export --format jcd @m.tsm @out.JCD", 2, ""},
        {"export --format listing @short.TSM @out.JCD", 2, ""},
        {"export --format listing @zero.TSM @out.JCD", 2, ""},
        {"import @titled.csv @out.JCD --format csv", 2, importError},
        {"convert --from csv --to dxf @titled.csv @out.JCD", 2, importError},
        {"export --format jcd @job.JCD @missing/out.JCD", 3, ""}};
    for (const auto& [arguments, code, message] : refused) {
        auto cli = Cli(arguments);
        EXPECT_EQ(cli->Wait(), code) << arguments;
        EXPECT_NE(cli->Err().find(message), std::string::npos) << arguments << cli->Err();
    }
    EXPECT_FALSE(fs::exists(Path("out.JCD")));
}

// The user layout comes from the settings file, or is Export's default layout when the
// file holds none; the incomplete row is left out.
TEST_F(CliTest, ExportsTheUserLayoutOfTheSettingsFile) {
    Write("in.JCD", Line("P1", "100", "200", "12.345", "C1") + "\r\nP2\r\n" +
                        Line("P3", "-1", "2", "0", "") + "\r\n");
    Write("Commpara", "[ComPort1]\r\nPort=COM1\r\n[UserDefFormat1]\r\nDefName=Stake\r\n"
                      "DefFileExt=stk\r\nDefOrderWord=214031\r\n");
    EXPECT_EQ(Cli("export --settings @Commpara --format user @in.JCD -")->Out(),
              "1,200.000,100.000,C1,P1,12.345\r\n2,2.000,-1.000,,P3,0.000\r\n");
    EXPECT_EQ(Cli("export @in.JCD - --format user --settings @none")->Out(),
              "P1,100.000,200.000,12.345,C1\r\nP3,-1.000,2.000,0.000\r\n");
}

// The file is opened as the window opens it: its listing applies its INST and UNIT
// records, so the polar text, which applies none, is written in the file's byte order
// and units (here little-endian, feet and gon).
TEST_F(CliTest, ExportsMeasurementTextsInTheUnitsOfTheFile) {
    const auto point = [](std::uint8_t type, const char* name) {
        stadix::test::RawRecordBuilder record(type, false);
        record.Bytes(1, name).Float(19, 1.5f).Coordinate(23, 100, 0).Coordinate(29, 200, 0);
        return record.Coordinate(35, 5, 0).Build();
    };
    const std::string store = stadix::test::Store(
        {stadix::test::Inst("OTHER", "   "), stadix::test::Unit(1, 1, 0, 0, 0, 0, 1.0f, false),
         point(stadix::kTypeStn, "A"), stadix::test::Dist(false, ""), point(stadix::kTypeBs, "B")});
    Write("m.TSM", store);
    auto polar = Cli("export --format polar @m.TSM @out.dat");
    EXPECT_EQ(polar->Wait(), 0) << polar->Err();
    EXPECT_EQ(Read("out.dat"), "A,4.92,656.17,328.08,16.40\r\nB,4.92,656.17,328.08,16.40\r\n"
                               "P1,4.92,40.50,13.9802,100.0000\r\n");
    Write("inst.tsm", kInst);
    EXPECT_EQ(Cli("export --format listing @inst.tsm -")->Out(), "INST: ,V,No.\r\n");
}

// An output that cannot be written is reported as Export reports it, and the file that
// was there stays as it was.
TEST_F(CliTest, AnExportThatCannotBeWrittenLeavesTheOutputAsItWas) {
    Write("job.JCD", Line("P1", "100", "200", "0", "C1") + "\r\n");
    Write("old.DXF", "old drawing");
    auto full = CliWithFileLimit("export --format dxf @job.JCD @old.DXF", 600);
    EXPECT_EQ(full->Wait(), 3);
    EXPECT_EQ(full->Err(), "Cannot export data to this file\nCannot create file \"" +
                               Path("old.DXF") + "\". File too large\n");
    EXPECT_EQ(Read("old.DXF"), "old drawing");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 4);
}

TEST_F(CliTest, ImportsAsTheWindowImports) {
    Write("in.pts", "P1,200,100,5\r\n\r\nP2,1,2,3,TREE");
    auto imported = Cli("import --format pts @in.pts @out.JCD");
    EXPECT_EQ(imported->Wait(), 0) << imported->Err();
    // The blank line is a row without a name, which the gather leaves out.
    EXPECT_EQ(Read("out.JCD"), Line("P1", "100", "200", "5", "") + "\r\n" +
                                   Line("P2", "2", "1", "3", "TREE") + "\r\n");
}

// Convert writes what Import then Export writes, with no line limit.
TEST_F(CliTest, ConvertsFilesOfAnySizeAsImportThenExportWould) {
    Write("in.sim", "A01,1,P1,100,200,5,\r\nA01,2,,1,2,3,\r\nA99,\r\nA01,3,X,1,2,3,\r\n");
    const std::pair<const char*, const char*> converted[] = {
        {"sima", "G00,01,,\r\nA00,\r\nA01,1,P1,100.000,200.000,5.000,\r\n"
                 "A01,2,BLANK,1.000,2.000,3.000,\r\nA99,\r\n"},
        {"user", "P1,100.000,200.000,5.000\r\nBLANK,1.000,2.000,3.000\r\n"}};
    for (const auto& [to, bytes] : converted) {
        auto cli = Cli(std::string("convert --from sima --to ") + to + " @in.sim @out");
        ASSERT_EQ(cli->Wait(), 0) << to << cli->Err();
        EXPECT_EQ(Read("out"), bytes) << to;
    }
    std::string big;
    for (int i = 1; i <= 20000; ++i)
        big += "P" + std::to_string(i) + ",1,2,3\n" + (i % 1000 == 0 ? "\n" : "");
    Write("big.pts", big);
    auto jcd = Cli("convert --from pts --to jcd @big.pts @big.JCD");
    ASSERT_EQ(jcd->Wait(), 0) << jcd->Err();
    const std::vector<std::string> lines = stadix::SplitLines(Read("big.JCD"));
    ASSERT_EQ(lines.size(), 20000u);
    EXPECT_EQ(lines.back(), Line("P20000", "2", "1", "3", ""));
    // A job file is read as the window opens it: cut, and said so.
    auto cut = Cli("export --format jcd @big.JCD @cut.JCD");
    EXPECT_EQ(cut->Wait(), 0);
    EXPECT_EQ(cut->Err(), "The file holds 20000 lines; only the first 15999 were read.\n");
}
