#include "app/FileIO.h"
#include "app/RecordLine.h"
#include "tests/support/CliProcess.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <sstream>

namespace fs = std::filesystem;

namespace {

class CliTest : public stadix::test::TempFolderTest {
  protected:
    void Write(const std::string& name, const std::string& bytes) const {
        stadix::WriteFileAtomically(Path(name), bytes);
    }
    std::string Read(const std::string& name) const { return stadix::ReadFileBytes(Path(name)); }

    // stadix-cli run to its end with the words of arguments; @NAME is a file of the folder.
    std::unique_ptr<stadix::test::CliProcess> Cli(const std::string& arguments) const {
        std::vector<std::string> words;
        std::istringstream stream(arguments);
        for (std::string word; stream >> word;)
            words.push_back(word[0] == '@' ? Path(word.substr(1)) : word);
        auto cli = std::make_unique<stadix::test::CliProcess>(words, dir);
        cli->Wait();
        return cli;
    }
    int Code(const std::string& arguments) const { return Cli(arguments)->Wait(); }
};

std::string Line(const char* pt, const char* n, const char* e, const char* z, const char* code) {
    return stadix::MakeRecordLine(pt, code, n, e, z);
}

} // namespace

TEST_F(CliTest, HelpAndVersion) {
    EXPECT_EQ(Cli("--version")->Out(), "stadix-cli 4.1\n");
    auto help = Cli("--help");
    EXPECT_EQ(help->Wait(), 0);
    EXPECT_NE(help->Out().find("export --format"), std::string::npos);
    auto verbHelp = Cli("export --help");
    EXPECT_EQ(verbHelp->Wait(), 0);
    EXPECT_NE(verbHelp->Out().find("INPUT OUTPUT"), std::string::npos);
    EXPECT_EQ(Code("frobnicate"), 1);
    EXPECT_EQ(Code(""), 1);
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

TEST_F(CliTest, RefusesBadInputAndWritesNothing) {
    Write("bad.jcd", std::string("P1                abc          2") + "\r\n");
    auto bad = Cli("export --format jcd @bad.jcd @out.JCD");
    EXPECT_EQ(bad->Wait(), 2);
    EXPECT_NE(bad->Err().find("'abc' is not a valid floating point value"), std::string::npos);
    Write("site.Jcd", "x");
    Write("job.JCD", Line("P1", "1", "2", "3", "") + "\r\n");
    const std::pair<const char*, int> refused[] = {
        {"export --format jcd @none.JCD @out.JCD", 2},
        {"export --format jcd @site.Jcd @out.JCD", 2},
        {"export --format listing @job.JCD @out.JCD", 2},
        {"export --format nope @job.JCD @out.JCD", 1},
        {"export @job.JCD @out.JCD", 1},
        {"export --format jcd @job.JCD", 1},
        {"export --format jcd --bogus @job.JCD @out.JCD", 1},
        {"export --format jcd @job.JCD @missing/out.JCD", 3},
    };
    for (const auto& [arguments, code] : refused)
        EXPECT_EQ(Code(arguments), code) << arguments;
    EXPECT_FALSE(fs::exists(Path("out.JCD")));
}

TEST_F(CliTest, ExportsTheListingOfAMeasurementFile) {
    std::string inst(42, '\0');
    inst[0] = char(0x81);
    Write("m.tsm", inst);
    auto listing = Cli("export --format listing @m.tsm -");
    EXPECT_EQ(listing->Wait(), 0) << listing->Err();
    ASSERT_GE(listing->Out().size(), 2u);
    EXPECT_EQ(listing->Out().substr(listing->Out().size() - 2), "\r\n");

    Write("short.TSM", inst + "z");
    auto cut = Cli("export --format listing @short.TSM @l.txt");
    EXPECT_EQ(cut->Wait(), 2);
    EXPECT_NE(cut->Err().find("43"), std::string::npos);
    Write("zero.TSM", std::string(84, '\0'));
    EXPECT_EQ(Code("export --format listing @zero.TSM @l.txt"), 2);
    EXPECT_EQ(Code("export --format jcd @m.tsm @l.txt"), 2);
    EXPECT_FALSE(fs::exists(Path("l.txt")));
}
