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
