#include "sdcard/CardExport.h"

#include "base/FileIO.h"
#include "job/RecordLine.h"
#include "tests/support/CardImages.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace stadix {
namespace {

using namespace std::string_literals;

class CardExportTest : public test::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        for (int n = 1; n <= 5; ++n)
            job.lines.push_back(MakeRecordLine("P" + std::to_string(n), "K",
                                               std::to_string(n) + ".5", "-2.25", "300"));
    }
    std::string Card(const std::string& name, const std::string& bytes) {
        WriteFileAtomically(Path(name), bytes);
        return Path(name);
    }

    Job job;
};

TEST_F(CardExportTest, RecordLinesBecomePtRecordsOfANewRecordFile) {
    RecordFile file;
    ASSERT_EQ(file.CreateRecordFile(Path("NEW.TSR"), 0, false), CardStatus::Success);
    const CardExportReport report = ExportToRecordFile(Path("NEW.TSR"), job);
    EXPECT_EQ(std::make_tuple(report.status, report.stored, report.caption, report.message),
              std::make_tuple(CardStatus::Success, 5u, "Message"s, "Total exported coord.data:5"s));
    const std::string bytes = ReadFileBytes(Path("NEW.TSR"));
    ASSERT_EQ(bytes.size(), 131584u);
    EXPECT_EQ(bytes.substr(34, 2), "\x05\0"s);
    EXPECT_EQ(bytes.substr(512, 42), "\x04P1\0\0\0\0\0\0\0K\0\0\0\0\0\0\0\0"s +
                                         "\x01\0\0\0\xF4\x01\xFE\xFF\xFF\xFF\x06\xFF"s +
                                         "\x2C\x01\0\0\0\0"s + std::string(5, '\0'));
    EXPECT_EQ(job.cardByteOrder, CardByteOrder::LittleEndian);
}

TEST_F(CardExportTest, AFullRecordFileKeepsWhatFits) {
    test::RecordFileImage image;
    RawRecord record{};
    for (int slot = 0; slot < 3070; ++slot)
        image.Put(slot, record);
    const CardExportReport report = ExportToRecordFile(Card("FULL.TSR", image.Bytes()), job);
    EXPECT_EQ(std::make_tuple(report.status, report.stored, report.message),
              std::make_tuple(CardStatus::FileFull, 2u, "The file is full"s));
    EXPECT_EQ(ReadFileBytes(Path("FULL.TSR")).substr(34, 2), "\0\x0C"s);
}

// Nothing is written to a file that is refused.
TEST_F(CardExportTest, ARefusedCardFileIsLeftAsItWas) {
    std::string notRecordFile = test::RecordFileImage().Bytes();
    notRecordFile[1] = 'x';
    const CardExportReport refused = ExportToRecordFile(Card("X.TSR", notRecordFile), job);
    EXPECT_EQ(std::make_tuple(refused.status, refused.caption, refused.message),
              std::make_tuple(CardStatus::Failure, "Warning"s, "Cannot export data to this file"s));
    EXPECT_FALSE(refused.problem.whileWriting);
    EXPECT_EQ(ReadFileBytes(Path("X.TSR")), notRecordFile);
}

TEST_F(CardExportTest, AJobTakesRecordsUntilItIsFullAndReadsThemBack) {
    const JobStoreLayout& layout = kJobStoreLayouts[3];
    JobStore store;
    const std::string path =
        Card("BIG.TSD",
             test::JobStoreImage(layout).AddJob(0, "NEAR").Fill(0, 0, 3070, RawRecord{}).Bytes());
    ASSERT_EQ(OpenCardJobStore(store, path, CardAccess::ReadWrite), StoreOpening::Opened);
    const CardExportReport full = ExportToJob(store, 0, job);
    EXPECT_EQ(
        std::make_tuple(full.status, full.stored, full.message),
        std::make_tuple(CardStatus::JobFull, 2u, "The file is full.Total exported coord.data:2"s));

    // The known-coordinates list of a big-endian store.
    const CardExportReport known = ExportToJob(store, store.KnownCoordinatesJob(), job);
    EXPECT_EQ(std::make_tuple(known.status, known.message),
              std::make_tuple(CardStatus::Success, "Total exported coord.data:5"s));
    EXPECT_EQ(job.cardByteOrder, CardByteOrder::BigEndian);
    EXPECT_EQ(store.CloseJobStore(), CardStatus::Success);
    // Cluster 64 follows the 3072 records of job 0: the north of P1, big-endian.
    EXPECT_EQ(ReadFileBytes(path).substr(jobstore::RecordOffset(64, 0, 0) + 19, 6),
              "\0\0\0\x01\x01\xF4"s);
}

} // namespace
} // namespace stadix
