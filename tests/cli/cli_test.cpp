#include "app/RecordLine.h"
#include "app/FileIO.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sys/wait.h>

namespace fs = std::filesystem;

namespace {

struct CliRun {
    int code = -1;
    std::string out;
    std::string err;
};

class CliTest : public stadix::test::TempFolderTest {
  protected:
    void Write(const std::string& name, const std::string& bytes) const {
        stadix::WriteFileAtomically(Path(name), bytes);
    }
    std::string Read(const std::string& name) const { return stadix::ReadFileBytes(Path(name)); }

    CliRun Cli(const std::string& arguments) const {
        const std::string errFile = Path("stderr.txt");
        const std::string command = std::string(STADIX_CLI) + " " + arguments + " 2>" + errFile;
        CliRun run;
        FILE* pipe = popen(command.c_str(), "r");
        char buffer[4096];
        std::size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0)
            run.out.append(buffer, n);
        const int status = pclose(pipe);
        run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.err = stadix::ReadFileBytes(errFile);
        return run;
    }
};

std::string Line(const char* pt, const char* n, const char* e, const char* z, const char* code) {
    return stadix::MakeRecordLine(pt, code, n, e, z);
}

} // namespace

TEST_F(CliTest, HelpAndVersion) {
    CliRun run = Cli("--version");
    EXPECT_EQ(run.code, 0);
    EXPECT_EQ(run.out, "stadix-cli 4.1\n");
    run = Cli("--help");
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.out.find("export --format"), std::string::npos);
    run = Cli("export --help");
    EXPECT_EQ(run.code, 0);
    EXPECT_NE(run.out.find("INPUT OUTPUT"), std::string::npos);
    EXPECT_EQ(Cli("frobnicate").code, 1);
    EXPECT_EQ(Cli("").code, 1);
}

TEST_F(CliTest, ExportsAJobAsSaveWritesIt) {
    // Row 2 is incomplete; Z of row 3 is empty in the table.
    Write("in.JCD", Line("P1", "1", "2", "3", "TREE") + "\r\n" + "P2\r\n" +
                        std::string("P3                1.5          2.25") + "\n");
    CliRun run = Cli("export " + Path("in.JCD") + " " + Path("out.jcd") + " --format jcd");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(Read("out.jcd"), Line("P1", "1", "2", "3", "TREE") + "\r\n" +
                                   Line("P3", "1.5", "2.25", "0", "") + "\r\n");

    run = Cli("export --format=txt " + Path("in.JCD") + " -");
    EXPECT_EQ(run.code, 0) << run.err;
    EXPECT_EQ(run.out, "P1,1.000,2.000,3.000,TREE\r\nP3,1.500,2.250,0.000,\r\n");
}

TEST_F(CliTest, RefusesBadInputAndWritesNothing) {
    Write("bad.jcd", std::string("P1                abc          2") + "\r\n");
    CliRun run = Cli("export --format jcd " + Path("bad.jcd") + " " + Path("out.JCD"));
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("'abc' is not a valid floating point value"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("out.JCD")));

    EXPECT_EQ(Cli("export --format jcd " + Path("none.JCD") + " " + Path("out.JCD")).code, 2);
    Write("site.Jcd", "x");
    EXPECT_EQ(Cli("export --format jcd " + Path("site.Jcd") + " " + Path("out.JCD")).code, 2);
    Write("job.JCD", Line("P1", "1", "2", "3", "") + "\r\n");
    EXPECT_EQ(Cli("export --format listing " + Path("job.JCD") + " " + Path("out.txt")).code, 2);
    EXPECT_EQ(Cli("export --format nope " + Path("job.JCD") + " " + Path("out.txt")).code, 1);
    EXPECT_EQ(Cli("export " + Path("job.JCD") + " " + Path("out.txt")).code, 1);
    EXPECT_EQ(Cli("export --format jcd " + Path("job.JCD")).code, 1);
    EXPECT_EQ(Cli("export --format jcd --bogus " + Path("job.JCD") + " x").code, 1);
    EXPECT_FALSE(fs::exists(Path("out.txt")));

    run = Cli("export --format jcd " + Path("job.JCD") + " " + Path("missing/out.JCD"));
    EXPECT_EQ(run.code, 3);
}

TEST_F(CliTest, ExportsTheListingOfAMeasurementFile) {
    std::string inst(42, '\0');
    inst[0] = char(0x81);
    Write("m.tsm", inst);
    CliRun run = Cli("export --format listing " + Path("m.tsm") + " -");
    EXPECT_EQ(run.code, 0) << run.err;
    ASSERT_GE(run.out.size(), 2u);
    EXPECT_EQ(run.out.substr(run.out.size() - 2), "\r\n");

    Write("short.TSM", inst + "z");
    run = Cli("export --format listing " + Path("short.TSM") + " " + Path("l.txt"));
    EXPECT_EQ(run.code, 2);
    EXPECT_NE(run.err.find("43"), std::string::npos);
    EXPECT_FALSE(fs::exists(Path("l.txt")));
    Write("zero.TSM", std::string(84, '\0'));
    EXPECT_EQ(Cli("export --format listing " + Path("zero.TSM") + " " + Path("l.txt")).code, 2);
    EXPECT_EQ(Cli("export --format jcd " + Path("m.tsm") + " " + Path("l.txt")).code, 2);
}
