#include "tests/support/CliFolderTest.h"
#include "tests/support/RawRecordBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

using CliTest = stadix::test::CliFolderTest;
using stadix::test::RawRecordBuilder;

std::string Bytes(std::initializer_list<stadix::RawRecord> records) {
    std::string bytes;
    for (const stadix::RawRecord& record : records)
        bytes.append(reinterpret_cast<const char*>(record.data()), record.size());
    return bytes;
}

// Station A at N 1000, E 2000, Z 50 (instrument height 1.5); P1 100 m due north, level,
// target height 1.5; P2 angles only.
const std::string kInst = Bytes({RawRecordBuilder(129, true).Bytes(1, "RVA110").Build()});
const std::string kSurvey =
    kInst + Bytes({RawRecordBuilder(131, true).Build(),
                   RawRecordBuilder(3, true)
                       .Bytes(1, "A")
                       .Float(19, 1.5f)
                       .Coordinate(23, 1000, 0)
                       .Coordinate(29, 2000, 0)
                       .Coordinate(35, 50, 0)
                       .Build(),
                   RawRecordBuilder(1, true)
                       .Bytes(1, "P1")
                       .Bytes(10, "TREE")
                       .Float(19, 1.5f)
                       .Float(23, 100.0f)
                       .UInt32(27, 324000)
                       .Build(),
                   RawRecordBuilder(2, true).Bytes(1, "P2").UInt32(27, 324000).Build()});
const std::string kSss = "UNITS   M,D\r\nSTN     A,1.500,\r\nXYZ     2000.000,1000.000,50.000\r\n"
                         "SS      P1,1.500,TREE\r\nSD      0.0000,90.0000,100.000\r\n";
const std::string kJob = "A                 1000.000     2000.000     50.000       \r\n"
                         "P1       TREE     1100.000     2000.000     50.000       \r\n";

} // namespace

TEST_F(CliTest, ReducesMeasurementsToAJobAndAReport) {
    Write("s.TSM", kSurvey);
    Write("s.txt", kSss);
    Write("inst.tsm", kInst);
    const std::pair<const char*, int> runs[] = {
        {"reduce @s.TSM @out.jcd --report @report.txt", 0},
        {"reduce --from sss @s.txt @sss.jcd --refraction 1 --scale 1", 0},
        {"reduce @s.txt @bad.jcd", 2},
        {"reduce @inst.tsm @bad.jcd", 2},
        {"reduce --from gsi @s.TSM @bad.jcd", 2},
        {"reduce --scale 1.5 @s.TSM @bad.jcd", 1},
        {"reduce --refraction x @s.TSM @bad.jcd", 1},
    };
    for (const auto& [arguments, code] : runs)
        EXPECT_EQ(Code(arguments), code) << arguments;
    EXPECT_EQ(Read("out.jcd"), kJob);
    EXPECT_EQ(Read("sss.jcd"), kJob);
    EXPECT_FALSE(std::filesystem::exists(Path("bad.jcd")));
    const std::string report = Read("report.txt");
    for (const char* line : {"Setup 1: station A (record 3)\n",
                             "  Station: N 1000.000  E 2000.000  Z 50.000 m, instrument height "
                             "1.500 m\n  Orientation: none, circle as read\n",
                             "    P1  N 1100.000  E 2000.000  Z 50.000 m  (1 observation)\n",
                             "    P2 (record 5): angles only\n"})
        EXPECT_NE(report.find(line), std::string::npos) << line << report;
}
