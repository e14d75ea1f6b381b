// The line log: its lines, and the file as the transfer goes and once it is closed.
#include "comport/LineLog.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <thread>

namespace stadix {
namespace {

using namespace std::chrono_literals;
using LineLogTest = test::TempFolderTest;

TEST(LineLogLines, SecondsWithThreeDecimalsDirectionAndUpperCaseHex) {
    EXPECT_EQ(LineLogLine(125ms, LineDirection::FromInstrument, "\x02\x41\x42\x03"),
              "0.125 < 02 41 42 03\n");
    EXPECT_EQ(LineLogLine(61007ms, LineDirection::ToInstrument, std::string("\xBB\x00", 2)),
              "61.007 > BB 00\n");
    EXPECT_EQ(LineLogLine(3600000ms, LineDirection::ToInstrument, "\xFF\xab"),
              "3600.000 > FF AB\n");
}

// Lines reach the file while the log is open, in the order they were recorded, from
// whichever thread; closing writes the rest. Empty bursts leave no line.
TEST_F(LineLogTest, WritesTheBurstsAsTheyComeAndTheRestWhenClosed) {
    const std::string path = Path("line.log");
    {
        LineLog log(path, LineLog::Clock::now() - 2500ms);
        log.Record(LineDirection::FromInstrument, "\x06");
        log.Record(LineDirection::ToInstrument, "");
        std::string written;
        for (int i = 0; i < 500 && written.empty(); ++i) {
            std::this_thread::sleep_for(10ms);
            written = ReadFileBytes(path);
        }
        EXPECT_EQ(written.substr(0, 2), "2.");
        EXPECT_EQ(written.substr(5), " < 06\n");
        std::thread other([&log] {
            for (int i = 0; i < 1000; ++i)
                log.Record(LineDirection::ToInstrument, std::string(1, static_cast<char>(i)));
        });
        other.join();
        log.Record(LineDirection::FromInstrument, "\x15");
    }
    const std::vector<std::string> lines = ReadFileLines(path);
    ASSERT_EQ(lines.size(), 1002u);
    for (int i = 0; i < 1000; ++i) {
        char expected[8];
        std::snprintf(expected, sizeof expected, " > %02X", i % 256);
        ASSERT_EQ(lines[i + 1].substr(5), expected) << i;
    }
    EXPECT_EQ(lines.back().substr(5), " < 15");
}

TEST_F(LineLogTest, ALogThatCannotBeCreatedSaysWhy) {
    const std::string path = Path("missing/line.log");
    try {
        LineLog log(path, LineLog::Clock::now());
        FAIL() << "created";
    } catch (const FileError& failure) {
        EXPECT_EQ(std::string(failure.what()),
                  "Cannot create file \"" + path + "\". No such file or directory");
    }
}

} // namespace
} // namespace stadix
