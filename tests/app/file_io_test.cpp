#include "app/Errors.h"
#include "app/FileIO.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace stadix;
using FileIO = test::TempFolderTest;

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
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              1);
    EXPECT_THROW(ReadFileBytes(Path("none")), FileError);
}

TEST_F(FileIO, LineReaderSplitsAsTheWholeFileReadAcrossItsPieces) {
    const std::size_t piece = 1 << 16;
    // Line ends that straddle the reader's pieces, a last line with and without an end.
    for (const std::string tail : {"\r\nz", "\r\n", "\r", "\n\r\r\nlast"}) {
        std::string bytes(piece - 1, 'x');
        bytes += tail;
        bytes += std::string(piece * 2, 'y') + "\r";
        WriteFileAtomically(Path("big.txt"), bytes);
        FileLineReader reader(Path("big.txt"));
        std::vector<std::string> lines;
        for (std::string line; reader.Next(line);)
            lines.push_back(line);
        EXPECT_EQ(lines, ReadFileLines(Path("big.txt"))) << tail.size();
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
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              1);
}
