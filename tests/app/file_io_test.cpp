#include "app/Errors.h"
#include "app/FileIO.h"

#include <gtest/gtest.h>

#include <filesystem>

using namespace stadix;
namespace fs = std::filesystem;

namespace {
fs::path TempFolder() {
    fs::path folder =
        fs::temp_directory_path() /
        ("stadix-fileio-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) +
         ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::remove_all(folder);
    fs::create_directories(folder);
    return folder;
}
} // namespace

TEST(FileIO, LinesSplitAtAnyLineEnd) {
    const fs::path file = TempFolder() / "lines.txt";
    WriteFileAtomically(file.string(), "a\r\nb\nc\rd\r\n\r\nlast");
    const std::vector<std::string> expected{"a", "b", "c", "d", "", "last"};
    EXPECT_EQ(ReadFileLines(file.string()), expected);
    EXPECT_EQ(JoinLinesCrLf({"x", ""}), "x\r\n\r\n");
}

TEST(FileIO, FailedWriteLeavesThePreviousFileAndNoLitter) {
    const fs::path folder = TempFolder();
    const fs::path file = folder / "job.JCD";
    WriteFileAtomically(file.string(), "first");
    EXPECT_THROW(WriteFileAtomically((folder / "missing" / "x.JCD").string(), "x"), FileError);
    EXPECT_EQ(ReadFileBytes(file.string()), "first");
    WriteFileAtomically(file.string(), std::string("\0\xff", 2));
    EXPECT_EQ(ReadFileBytes(file.string()), std::string("\0\xff", 2));
    EXPECT_EQ(std::distance(fs::directory_iterator(folder), fs::directory_iterator()), 1);
    EXPECT_THROW(ReadFileBytes((folder / "none").string()), FileError);
}
