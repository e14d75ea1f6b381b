#include "sdcard/CardImport.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "job/RecordLine.h"
#include "tests/support/CardImages.h"
#include "tests/support/RawRecordBuilder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace stadix {
namespace {

using test::RawRecordBuilder;

RawRecord Point(std::uint8_t type, const std::string& name, int north, bool bigEndian = false) {
    const std::size_t at = type == kTypePt ? raw::kPtNorth : raw::kNorth;
    return RawRecordBuilder(type, bigEndian)
        .Bytes(1, name)
        .Bytes(10, "K")
        .Coordinate(at, north, 250)
        .Coordinate(at + 6, -1, -5)
        .Coordinate(at + 12, 0, -250)
        .Build();
}

std::string Line(const std::string& name, const std::string& code, const std::string& north) {
    return MakeRecordLine(name, code, north, "-1.005", "-0.250");
}

class CardImportTest : public test::TempFolderTest {
  protected:
    void SetUp() override {
        TempFolderTest::SetUp();
        // Ten records, four of them PT records, numbers little-endian.
        const RawRecord records[] = {
            Point(kTypePt, "P1", 1),
            Point(kTypeCrd, "C1", 2),
            Point(kTypePt, "P2", 3),
            Point(kTypeStn, "S1", 4),
            RawRecordBuilder(kTypeDist, false).Bytes(1, "D1").UInt32(27, 324000).Build(),
            Point(kTypePt, "P3", 5),
            Point(kTypeBs, "B1", 6),
            RawRecordBuilder(kTypeAng, false).Bytes(1, "A1").Build(),
            Point(kTypePt, "P4", 7),
            RawRecordBuilder(kTypeJob, false).Bytes(1, "SITE").Build()};
        test::RecordFileImage image;
        for (int slot = 0; slot < 10; ++slot)
            image.Put(slot * 7, records[slot]);
        cardBytes = image.Bytes();
        WriteFileAtomically(Path("DATA.tsr"), cardBytes);
    }

    Job ImportRecords(ImportChoices choices) {
        RecordFile file;
        EXPECT_EQ(file.OpenRecordFile(Path("DATA.tsr"), CardAccess::ReadOnly), CardStatus::Success);
        Job job;
        ApplyImportUnits(job.decodeState, choices);
        ImportRecordFile(file, choices.dataType, job);
        return job;
    }

    std::string cardBytes;
};

TEST_F(CardImportTest, EachDataTypeTakesItsRecordsFromARecordFile) {
    const Job known = ImportRecords({ImportDataType::KnownPoints, 0, 0});
    EXPECT_EQ(known.lines,
              (std::vector<std::string>{Line("P1", "K", "1.250"), Line("P2", "K", "3.250"),
                                        Line("P3", "K", "5.250"), Line("P4", "K", "7.250")}));
    EXPECT_EQ(known.content, JobContent::RecordLines);
    EXPECT_TRUE(known.modified);

    const Job measured = ImportRecords({ImportDataType::MeasuredCoordinates, 0, 0});
    EXPECT_EQ(measured.lines,
              (std::vector<std::string>{Line("C1", "K", "2.250"), Line("S1", "K", "4.250"),
                                        Line("B1", "K", "6.250")}));

    // Raw data: every record but PT records, in the units chosen.
    const Job raw = ImportRecords({ImportDataType::RawData, 1, 1});
    ASSERT_EQ(raw.lines.size(), 6u);
    EXPECT_EQ(raw.lines[0], "CRD:  C1,0.00,7.38,-3.30,-0.82,K");
    EXPECT_EQ(raw.lines[2], "DIST: D1,0.00,0.0000,100.0000,0.00");
    EXPECT_EQ(raw.lines[5], "JOB:  SITE");
    EXPECT_EQ(raw.content, JobContent::Text);
    EXPECT_FALSE(raw.modified);
    EXPECT_EQ(ReadFileBytes(Path("DATA.tsr")), cardBytes);
}

TEST_F(CardImportTest, AJobIsReadInItsStoresByteOrder) {
    const JobStoreLayout& layout = kJobStoreLayouts[2];
    const std::string store = test::JobStoreImage(layout)
                                  .AddJob(4, "SITE")
                                  .Put(4, 0, 0, 0, Point(kTypeStn, "S1", 10, true))
                                  .Put(4, 2, 1, 3, Point(kTypeCrd, "C1", 11, true))
                                  .Put(layout.jobs, 1, 0, 0, Point(kTypePt, "P1", 12, true))
                                  .Bytes();
    WriteFileAtomically(Path("DATA.TSD"), store);
    JobStore jobs;
    ASSERT_EQ(OpenCardJobStore(jobs, Path("DATA.TSD"), CardAccess::ReadOnly), StoreOpening::Opened);
    Job job;
    job.decodeState.bigEndian = false;
    ImportJobRecords(jobs, 4, ImportDataType::MeasuredCoordinates, job);
    EXPECT_EQ(job.lines,
              (std::vector<std::string>{Line("S1", "K", "10.250"), Line("C1", "K", "11.250")}));
    EXPECT_TRUE(job.decodeState.bigEndian);
    ImportJobRecords(jobs, jobs.KnownCoordinatesJob(), ImportDataType::KnownPoints, job);
    EXPECT_EQ(job.lines, std::vector<std::string>{Line("P1", "K", "12.250")});
    EXPECT_EQ(ReadFileBytes(Path("DATA.TSD")), store);
}

// A record that does not convert, or one that cannot be read, leaves the job as it was.
TEST_F(CardImportTest, AFailedImportLeavesTheJobAsItWas) {
    test::RecordFileImage image;
    image.Put(0, Point(kTypeCrd, "C1", 1)).Put(1, Point(kTypeCrd, "WIDE", 2000000000));
    WriteFileAtomically(Path("DATA.tsr"), image.Bytes());
    RecordFile file;
    ASSERT_EQ(file.OpenRecordFile(Path("DATA.tsr"), CardAccess::ReadOnly), CardStatus::Success);
    Job job;
    job.lines = {"OLD"};
    job.content = JobContent::Text;
    EXPECT_THROW(ImportRecordFile(file, ImportDataType::MeasuredCoordinates, job), ConversionError);
    EXPECT_EQ(job.lines, std::vector<std::string>{"OLD"});
    EXPECT_EQ(job.content, JobContent::Text);

    const JobStoreLayout& layout = kJobStoreLayouts[0];
    test::JobStoreImage store(layout);
    store.AddJob(0, "CUT").Put(0, 3, 0, 0, Point(kTypeCrd, "C1", 1));
    WriteFileAtomically(Path("DATA.TSD"), store.Bytes().substr(0, 20000));
    JobStore jobs;
    ASSERT_EQ(OpenCardJobStore(jobs, Path("DATA.TSD"), CardAccess::ReadOnly), StoreOpening::Opened);
    EXPECT_THROW(ImportJobRecords(jobs, 0, ImportDataType::RawData, job), CardError);
    EXPECT_EQ(job.lines, std::vector<std::string>{"OLD"});
}

TEST_F(CardImportTest, TextFilesAndKindsByExtension) {
    const std::pair<const char*, CardFileKind> kinds[] = {
        {"DATA.tsr", CardFileKind::RecordFile}, {"a.TSD", CardFileKind::JobStore},
        {"b.gt7", CardFileKind::SssText},       {"c.GTS", CardFileKind::GtsText},
        {"d.xyz", CardFileKind::XyzText},       {"e.PTS", CardFileKind::PtsText},
        {"f.Pts", CardFileKind::Other},         {"TSR", CardFileKind::Other}};
    for (const auto& [name, kind] : kinds)
        EXPECT_EQ(CardFileKindOf(name), kind) << name;

    WriteFileAtomically(Path("M.GT7"), "ST,1\r\nSS,2\n");
    Job job;
    ImportCardText(CardFileKind::SssText, Path("M.GT7"), job);
    EXPECT_EQ(job.lines, (std::vector<std::string>{"ST,1", "SS,2"}));
    EXPECT_EQ(std::make_pair(job.content, job.dataFormat),
              std::make_pair(JobContent::Text, DataFormat::Sss));
    EXPECT_THROW(ImportCardText(CardFileKind::Other, Path("M.GT7"), job), CardError);

    // A PTS file has no line limit; a line that does not convert leaves the job as it was.
    std::string pts;
    for (int i = 1; i <= 16001; ++i)
        pts += "P" + std::to_string(i) + ",2,1,3\r\n";
    WriteFileAtomically(Path("M.PTS"), pts);
    ImportCardText(CardFileKind::PtsText, Path("M.PTS"), job);
    ASSERT_EQ(job.lines.size(), 16001u);
    EXPECT_EQ(job.lines.back(), MakeRecordLine("P16001", "", "1", "2", "3"));
    EXPECT_EQ(std::make_pair(job.content, job.dataFormat),
              std::make_pair(JobContent::RecordLines, DataFormat::Sss));
    WriteFileAtomically(Path("BAD.PTS"), "P1,1,2,3\r\nPT,E,N,Z\r\n");
    EXPECT_THROW(ImportCardText(CardFileKind::PtsText, Path("BAD.PTS"), job), ConversionError);
    EXPECT_EQ(job.lines.size(), 16001u);
}

} // namespace
} // namespace stadix
