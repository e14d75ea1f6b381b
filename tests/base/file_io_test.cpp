#include "base/Errors.h"
#include "base/FileIO.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <sys/stat.h>
#include <utility>

using namespace stadix;
class FileIO : public test::TempFolderTest {
  protected:
    // A write leaves no temporary file behind.
    long Files() const { return std::distance(std::filesystem::directory_iterator(dir), {}); }
    unsigned Mode(const char* name) const {
        struct stat file {};
        return ::stat(Path(name).c_str(), &file) == 0 ? file.st_mode & 0777 : 0;
    }
};

TEST_F(FileIO, LinesSplitAtAnyLineEnd) {
    WriteFileAtomically(Path("lines.txt"), "a\r\nb\nc\rd\r\n\r\nlast");
    const std::vector<std::string> expected{"a", "b", "c", "d", "", "last"};
    EXPECT_EQ(ReadFileLines(Path("lines.txt")), expected);
    EXPECT_EQ(JoinLinesCrLf({"x", ""}), "x\r\n\r\n");
}

TEST_F(FileIO, FailedWriteLeavesThePreviousFileAndNoLitter) {
    WriteFileAtomically(Path("job.JCD"), "first");
    EXPECT_THROW(WriteFileAtomically(Path("missing/x.JCD"), "x"), FileError);
    EXPECT_EQ(ReadFileBytes(Path("job.JCD")), "first");
    WriteFileAtomically(Path("job.JCD"), std::string("\0\xff", 2));
    EXPECT_EQ(ReadFileBytes(Path("job.JCD")), std::string("\0\xff", 2));
    EXPECT_EQ(Files(), 1);
    EXPECT_THROW(ReadFileBytes(Path("none")), FileError);
}

TEST_F(FileIO, LineReaderSplitsAcrossItsPiecesAndCountsWhatItDoesNotKeep) {
    const std::size_t piece = 1 << 16;
    const std::string x(piece - 1, 'x');
    const std::string y(piece * 2, 'y');
    // Line ends that straddle the reader's pieces, a last line with and without an end.
    const std::pair<std::string, std::vector<std::string>> files[] = {
        {x + "\r\nz" + y + "\r", {x, "z" + y}},
        {x + "\r\n" + y + "\r", {x, y}},
        {x + "\r" + y, {x, y}},
        {x + "\n\r\r\nlast" + y + "\r", {x, "", "", "last" + y}}};
    for (const auto& [bytes, expected] : files) {
        WriteFileAtomically(Path("big.txt"), bytes);
        FileLineReader reader(Path("big.txt"));
        std::vector<std::string> lines;
        for (std::string line; reader.Next(line);)
            lines.push_back(line);
        EXPECT_EQ(lines, expected) << expected.size();
        EXPECT_EQ(ReadFileLines(Path("big.txt")), expected);
        // The first line kept; a CR LF across pieces right after it is no line of its own.
        const FileHead head = ReadFirstLines(Path("big.txt"), 1);
        EXPECT_EQ(head.lines, std::vector<std::string>{x});
        EXPECT_EQ(head.fileLines, expected.size()) << expected.size();
    }
    WriteFileAtomically(Path("empty.txt"), "");
    std::string line;
    EXPECT_FALSE(FileLineReader(Path("empty.txt")).Next(line));
    EXPECT_THROW(FileLineReader(Path("none")), FileError);
}

TEST_F(FileIO, WriterPublishesOnlyOnCommit) {
    WriteFileAtomically(Path("out.dxf"), "old");
    {
        AtomicFileWriter writer(Path("out.dxf"));
        writer.Write(std::string(3 << 20, 'n'));
    }
    EXPECT_EQ(ReadFileBytes(Path("out.dxf")), "old");
    AtomicFileWriter writer(Path("out.dxf"));
    writer.Write("new ");
    writer.Write(std::string(3 << 20, 'n'));
    writer.Commit();
    EXPECT_EQ(ReadFileBytes(Path("out.dxf")).size(), 4u + (3 << 20));
    EXPECT_EQ(Files(), 1);
}

// The sync sees the whole temporary file while the target is still the old one.
TEST_F(FileIO, TheDataAreSyncedBeforeTheRenameAndAFailedSyncKeepsThePreviousFile) {
    static std::string target, seen;
    target = Path("job.JCD");
    WriteFileAtomically(target, "old");
    const FileSync fsyncCall = std::exchange(syncWrittenFile, [](int fd) {
        struct stat written {};
        ::fstat(fd, &written);
        seen = std::to_string(written.st_size) + " " + ReadFileBytes(target);
        return 0;
    });
    WriteFileAtomically(target, "new data");
    EXPECT_EQ(seen, "8 old");
    syncWrittenFile = [](int) { return errno = EIO, -1; };
    EXPECT_THROW(WriteFileAtomically(target, "lost"), FileError);
    syncWrittenFile = fsyncCall;
    EXPECT_EQ(ReadFileBytes(target), "new data");
    EXPECT_EQ(Files(), 1);
}

TEST_F(FileIO, AReplacedFileKeepsItsModeAndANewOneGetsTheUmasks) {
    const mode_t umask = ::umask(027);
    WriteFileAtomically(Path("new.txt"), "x");
    WriteFileAtomically(Path("kept.txt"), "x");
    ::chmod(Path("kept.txt").c_str(), 0604);
    WriteFileAtomically(Path("kept.txt"), "y");
    ::umask(umask);
    EXPECT_EQ(Mode("new.txt"), 0640u);
    EXPECT_EQ(Mode("kept.txt"), 0604u);
}
