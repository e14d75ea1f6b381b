#include "sdcard/RecordFile.h"

#include "base/FileIO.h"
#include "tests/support/CardImages.h"
#include "tests/support/RawRecordBuilder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

namespace stadix {
namespace {

using namespace std::string_literals;
using test::RawRecordBuilder;
using test::RecordFileImage;

class RecordFileTest : public test::TempFolderTest {
  protected:
    std::string Write(const std::string& bytes) {
        WriteFileAtomically(Path("DATA.TSR"), bytes);
        return Path("DATA.TSR");
    }
    std::string Read() const { return ReadFileBytes(Path("DATA.TSR")); }
};

RawRecord Numbered(int n) {
    return RawRecordBuilder(kTypePt, false).Byte(1, static_cast<std::uint8_t>('A' + n)).Build();
}

std::string At(const std::string& bytes, std::uint64_t offset, std::size_t size) {
    return bytes.substr(offset, size);
}

std::string RecordBytes(const RawRecord& record) {
    return std::string(record.begin(), record.end());
}

TEST_F(RecordFileTest, ANewFileIsEmptyAndFillsItsSlotsInOrder) {
    RecordFile file;
    ASSERT_EQ(file.CreateRecordFile(Path("NEW.TSR"), 7, true), CardStatus::Success);
    EXPECT_EQ(file.CreateRecordFile(Path("OTHER.TSR"), 0, false), CardStatus::Failure);
    EXPECT_TRUE(file.AtEndOfRecords());
    std::string expected(131584, '\xFF');
    expected.replace(0, 8, std::string("\x66\xAA\x00\x02\x00\x02\x00\x06", 8));
    expected.replace(32, 4, std::string("\x07\0\0\0", 4));
    expected.replace(128, 384, std::string(384, '\0'));
    EXPECT_EQ(ReadFileBytes(Path("NEW.TSR")), expected);

    for (int n = 0; n < 7; ++n)
        ASSERT_EQ(file.AppendRecord(Numbered(n)), CardStatus::Success);
    // Records reach the file at once; the map and the count when it is closed.
    const std::string open = ReadFileBytes(Path("NEW.TSR"));
    for (auto [n, offset] : {std::pair{0, 512}, {1, 554}, {2, 596}, {6, 768}})
        EXPECT_EQ(At(open, offset, 42), RecordBytes(Numbered(n))) << offset;
    EXPECT_EQ(At(open, 32, 4), std::string("\x07\0\0\0", 4));
    ASSERT_EQ(file.CloseRecordFile(), CardStatus::Success);
    const std::string closed = ReadFileBytes(Path("NEW.TSR"));
    EXPECT_EQ(At(closed, 32, 4), std::string("\x07\0\x07\0", 4));
    EXPECT_EQ(At(closed, 128, 2), "\x7F\0"s);
}

TEST_F(RecordFileTest, ReadsUsedSlotsInOrderAndAppendsIntoTheGaps) {
    const std::string path = Write(
        RecordFileImage().Put(5, Numbered(5)).Put(0, Numbered(0)).Put(1, Numbered(1)).Bytes());
    RecordFile file;
    ASSERT_EQ(file.OpenRecordFile(path, CardAccess::ReadWrite), CardStatus::Success);
    EXPECT_EQ(file.RecordFileCount(), 3);
    // Opened at slot 0, the first free slot after it is 2.
    ASSERT_EQ(file.AppendRecord(Numbered(2)), CardStatus::Success);
    file.RewindRecordFile();
    std::vector<std::uint8_t> names;
    RawRecord record;
    while (!file.AtEndOfRecords()) {
        ASSERT_EQ(file.ReadNextRecord(record), CardStatus::Success);
        names.push_back(record[1]);
    }
    EXPECT_EQ(names, (std::vector<std::uint8_t>{'A', 'B', 'C', 'F'}));
    EXPECT_EQ(file.ReadNextRecord(record), CardStatus::Failure);
    // Read to the end there is no current slot: the search starts again at slot 0.
    ASSERT_EQ(file.AppendRecord(Numbered(3)), CardStatus::Success);
    ASSERT_EQ(file.CloseRecordFile(), CardStatus::Success);
    const std::string bytes = Read();
    EXPECT_EQ(At(bytes, recordfile::SlotOffset(3), 42), RecordBytes(Numbered(3)));
    EXPECT_EQ(At(bytes, 34, 2), "\x05\0"s);
    EXPECT_EQ(At(bytes, 128, 1), "\x2F");
}

TEST_F(RecordFileTest, AFullFileTakesNothingAndAFileOnlyReadIsNotWritten) {
    RecordFileImage image;
    for (int slot = 0; slot < 3072; ++slot)
        image.Put(slot, Numbered(slot % 26));
    const std::string path = Write(image.Bytes());
    const auto written = std::filesystem::last_write_time(path) - std::chrono::hours(1);
    std::filesystem::last_write_time(path, written);
    RecordFile file;
    ASSERT_EQ(file.OpenRecordFile(path, CardAccess::ReadWrite), CardStatus::Success);
    RawRecord record;
    EXPECT_EQ(file.ReadNextRecord(record), CardStatus::Success);
    EXPECT_EQ(file.AppendRecord(Numbered(0)), CardStatus::FileFull);
    EXPECT_EQ(file.CloseRecordFile(), CardStatus::Success);
    EXPECT_EQ(Read(), image.Bytes());
    EXPECT_EQ(std::filesystem::last_write_time(path), written);
}

TEST_F(RecordFileTest, RefusesFilesThatAreNotWholeConsistentRecordFiles) {
    const std::string good = RecordFileImage().Put(0, Numbered(0)).Put(9, Numbered(9)).Bytes();
    std::string noMagic = good;
    noMagic[0] = '\x67';
    const std::pair<std::string, std::string> refused[] = {
        {noMagic, "not a record file"},
        {good.substr(0, 131583), "131583 bytes long"},
        {RecordFileImage(good).Count(3).Bytes(), "counts 3 records, its slot map marks 2"},
        {RecordFileImage(good).Count(0).Bytes(), "counts 0 records, its slot map marks 2"},
        {RecordFileImage(good).Count(65535).Bytes(), "counts 65535 records"},
        {"\x66", "not a record file"}};
    for (const auto& [bytes, reason] : refused) {
        const std::string path = Write(bytes);
        RecordFile file;
        EXPECT_EQ(file.OpenRecordFile(path, CardAccess::ReadWrite), CardStatus::Failure);
        EXPECT_NE(file.Problem().text.find(reason), std::string::npos) << file.Problem().text;
        EXPECT_EQ(file.AppendRecord(Numbered(1)), CardStatus::Failure);
        EXPECT_TRUE(file.AtEndOfRecords());
        EXPECT_EQ(file.CloseRecordFile(), CardStatus::Success);
        EXPECT_EQ(Read(), bytes) << reason;
    }
    RecordFile missing;
    EXPECT_EQ(missing.OpenRecordFile(Path("none.TSR"), CardAccess::ReadOnly), CardStatus::Failure);
    EXPECT_NE(missing.Problem().text.find("Cannot open"), std::string::npos);
}

} // namespace
} // namespace stadix
