// stadix-cli on paths that are not plain files, on an output that is one of its inputs,
// and ended by a signal part way: refused with the reason, or done without a trace.
#include "job/RecordLine.h"
#include "tests/support/CardImages.h"
#include "tests/support/CliFolderTest.h"
#include "tests/support/RawRecordBuilder.h"

#include <gtest/gtest.h>

#include <fcntl.h>
#include <filesystem>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

class CliPathsTest : public stadix::test::CliFolderTest {
  protected:
    void SetUp() override {
        CliFolderTest::SetUp();
        Write("job.JCD", stadix::MakeRecordLine("P1", "C", "1.5", "2.5", "0") + "\r\n");
        Write("in.pts", "P1,2.5,1.5,0,C\r\n");
    }
    // The program's exit code and its message.
    std::pair<int, std::string> Refusal(const std::string& arguments) const {
        auto cli = Cli(arguments);
        return {cli->Wait(), cli->Err()};
    }
    // Temporary files are hidden ones.
    std::size_t HiddenFiles() const {
        std::size_t count = 0;
        for (const auto& entry : fs::directory_iterator(dir))
            count += entry.path().filename().string()[0] == '.';
        return count;
    }
};

// Folders and pipes named as inputs are refused with the reason, without waiting for a
// writer; a folder named as the settings file means the defaults.
TEST_F(CliPathsTest, InputsThatAreNotPlainFilesAreRefusedWithTheReason) {
    for (const char* folder : {"d.JCD", "d.TSM", "d.pts"})
        fs::create_directory(Path(folder));
    ASSERT_EQ(::mkfifo(Path("f.JCD").c_str(), 0644), 0);
    const std::string folderReason = "It is a folder, not a file.";
    for (const char* arguments :
         {"export --format csv @d.JCD @o.csv", "export --format sss @d.TSM @o.txt",
          "import --format pts @d.pts @o.JCD", "convert --from pts --to csv @d.pts @o.csv",
          "card-export --create @d.JCD @o.PTS", "send --port /dev/null @d.JCD"}) {
        const auto [code, reason] = Refusal(arguments);
        EXPECT_EQ(code, 2) << arguments;
        EXPECT_NE(reason.find("\". " + folderReason + "\n"), std::string::npos)
            << arguments << reason;
    }
    const auto [code, reason] = Refusal("export --format csv @f.JCD @o.csv");
    EXPECT_EQ(code, 2);
    EXPECT_NE(reason.find("not a regular file"), std::string::npos) << reason;
    EXPECT_FALSE(fs::exists(Path("o.csv")) || fs::exists(Path("o.JCD")) ||
                 fs::exists(Path("o.PTS")));

    auto defaults = Cli("export --format user --settings @d.JCD @job.JCD @u.txt");
    EXPECT_EQ(defaults->Wait(), 0) << defaults->Err();
    EXPECT_TRUE(fs::exists(Path("u.txt")));
}

// An output that is an input, by its own name or through a link, is refused before
// anything is read or written, whichever verb names it.
TEST_F(CliPathsTest, AnOutputThatIsAnInputIsRefusedAndNothingIsTouched) {
    const std::string card = stadix::test::RecordFileImage()
                                 .Put(0, stadix::test::RawRecordBuilder(stadix::kTypePt, false)
                                             .Bytes(1, "K1")
                                             .Coordinate(19, 1, 500)
                                             .Build())
                                 .Bytes();
    Write("CARD.TSR", card);
    fs::create_symlink("CARD.TSR", Path("card-link.JCD"));
    fs::create_symlink("in.pts", Path("in-link.csv"));
    Write("Commpara", "[UserDefFormat1]\r\n");
    for (const char* arguments :
         {"card-import @CARD.TSR @card-link.JCD", "card-import @CARD.TSR @CARD.TSR",
          "export --format jcd @job.JCD @job.JCD", "import --format pts @in.pts @in-link.csv",
          "convert --from pts --to csv @in.pts @in-link.csv",
          "export --format csv --settings @Commpara @job.JCD @Commpara",
          "card-export --create @job.JCD @job.JCD"}) {
        const auto [code, reason] = Refusal(arguments);
        EXPECT_EQ(code, 2) << arguments;
        EXPECT_NE(reason.find("\nNothing was written: name another output file.\n"),
                  std::string::npos)
            << arguments << reason;
    }
    EXPECT_EQ(Read("CARD.TSR"), card);
    EXPECT_EQ(Read("in.pts"), "P1,2.5,1.5,0,C\r\n");
    EXPECT_EQ(Read("Commpara"), "[UserDefFormat1]\r\n");
    EXPECT_EQ(Read("job.JCD"), stadix::MakeRecordLine("P1", "C", "1.5", "2.5", "0") + "\r\n");
}

// A link is followed and the file it names is replaced, even one still to be made; a
// pipe takes the bytes directly and stays a pipe; a folder is refused.
TEST_F(CliPathsTest, OutputsThatAreLinksOrPipesKeepWhatTheyAre) {
    fs::create_directory(Path("real"));
    Write("real/old.csv", "old");
    fs::create_symlink("real/old.csv", Path("old-link.csv"));
    fs::create_symlink("real/new.csv", Path("new-link.csv"));
    const std::string csv = "\"P1\",\"1.500\",\"2.500\",\"0.000\",\"C\"\r\n";
    for (const char* link : {"old-link.csv", "new-link.csv"}) {
        EXPECT_EQ(Code(std::string("export --format csv @job.JCD @") + link), 0) << link;
        EXPECT_TRUE(fs::is_symlink(Path(link))) << link;
        EXPECT_EQ(Read(link), csv) << link;
    }
    EXPECT_EQ(std::distance(fs::directory_iterator(Path("real")), fs::directory_iterator()), 2);

    ASSERT_EQ(::mkfifo(Path("pipe.csv").c_str(), 0644), 0);
    const int reader = ::open(Path("pipe.csv").c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    EXPECT_EQ(Code("convert --from pts --to csv @in.pts @pipe.csv"), 0);
    char bytes[256] = {};
    const ssize_t n = ::read(reader, bytes, sizeof bytes);
    ::close(reader);
    EXPECT_EQ(std::string(bytes, n > 0 ? static_cast<std::size_t>(n) : 0), csv);
    EXPECT_EQ(fs::status(Path("pipe.csv")).type(), fs::file_type::fifo);

    fs::create_directory(Path("out.csv"));
    EXPECT_EQ(Refusal("export --format csv @job.JCD @out.csv").first, 3);
}

// Ended by a signal while it writes, a conversion takes its temporary file with it and
// leaves the file it was to replace as it was.
TEST_F(CliPathsTest, AnEndSignalLeavesNoTemporaryFile) {
    std::string big;
    for (int i = 0; i < 400000; ++i)
        big += "P" + std::to_string(i) + ",1,2,3,C\r\n";
    Write("big.pts", big);
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        Write("out.dxf", "old drawing");
        ASSERT_EQ(HiddenFiles(), 0u);
        stadix::test::CliProcess cli(
            {"convert", "--from", "pts", "--to", "dxf", Path("big.pts"), Path("out.dxf")}, dir);
        // Signalled once its temporary file is there.
        for (int waited = 0; HiddenFiles() == 0 && waited < 5000; ++waited)
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        ASSERT_EQ(HiddenFiles(), 1u) << "no temporary file was seen";
        cli.Signal(signal);
        EXPECT_EQ(cli.Wait(), -2) << signal;
        EXPECT_EQ(HiddenFiles(), 0u) << signal;
        EXPECT_EQ(Read("out.dxf"), "old drawing") << signal;
    }
}

} // namespace
