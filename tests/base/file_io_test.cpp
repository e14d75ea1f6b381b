#include "base/Errors.h"
#include "base/FileIO.h"
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
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir),
                            std::filesystem::directory_iterator()),
              1);
}
