#include "base/Errors.h"
#include "base/FileIO.h"
#include "job/Job.h"
#include "job/RecordLine.h"
#include "rawconv/MeasurementFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

using namespace stadix;

namespace {

class JobTest : public test::TempFolderTest {
  protected:
    std::string Write(const std::string& name, const std::string& bytes) {
        WriteFileAtomically(Path(name), bytes);
        return Path(name);
    }
};

std::string InstRecord() {
    std::string record(42, '\0');
    record[0] = char(0x81);
    return record;
}

} // namespace

TEST_F(JobTest, NewJobTakesTheNextNameAndKeepsTheRawRecords) {
    Job job;
    job.lines = {"x"};
    job.rawRecords = InstRecord();
    job.content = JobContent::Listing;
    job.modified = true;
    StartNewJob(job);
    EXPECT_EQ(job.docName, "Job2");
    EXPECT_TRUE(job.untitled && !job.modified && job.lines.empty() && job.InCoordinateView());
    EXPECT_EQ(job.rawRecords, InstRecord());
    StartNewJob(job);
    EXPECT_EQ(job.docName, "Job3");
}

TEST_F(JobTest, MeasurementFilesOpenByExtensionAndTheChosenType) {
    Job job;
    ASSERT_EQ(OpenMeasurementFile(job, Write("a.TSM", InstRecord()), false), "");
    EXPECT_EQ(job.content, JobContent::Listing);
    EXPECT_EQ(job.lines.size(), 1u);
    EXPECT_EQ(job.docName, "a.TSM");
    EXPECT_FALSE(SaveFileBytes(job).has_value());
    EXPECT_EQ(MeasurementFileBytes(job, true), InstRecord());

    // A refused file leaves the job as it was.
    EXPECT_NE(OpenMeasurementFile(job, Write("b.tsm", InstRecord() + "x"), false), "");
    EXPECT_NE(OpenMeasurementFile(job, Write("c.TSM", std::string(42, '\0')), false), "");
    EXPECT_EQ(job.docName, "a.TSM");
    EXPECT_EQ(job.content, JobContent::Listing);

    const struct {
        const char* name;
        bool gtsType;
        DataFormat format;
    } texts[] = {{"m.gts", true, DataFormat::Gts},
                 {"m.GT7", true, DataFormat::Sss},
                 {"m.GTS", false, DataFormat::Kvr}};
    for (const auto& text : texts) {
        ASSERT_EQ(OpenMeasurementFile(job, Write(text.name, "a\nb"), text.gtsType), "");
        EXPECT_EQ(job.content, JobContent::Text);
        EXPECT_EQ(job.dataFormat, text.format) << text.name;
        EXPECT_EQ(SaveFileBytes(job), std::string("a\r\nb\r\n"));
        EXPECT_EQ(MeasurementFileBytes(job, true), "a\r\nb\r\n");
    }
}

TEST_F(JobTest, JobFilesOpenAttachedAndSaveTheirRecordLines) {
    Job job;
    const std::string line = MakeRecordLine("P1", "", "1", "2", "3");
    const std::string path = Write("s.JCD", line + "\r\n");
    job.modified = true;
    EXPECT_EQ(OpenJobFile(job, path), 1u);
    EXPECT_TRUE(!job.untitled && !job.modified && job.filePath == path);
    EXPECT_EQ(SaveFileBytes(job), line + "\r\n");
    EXPECT_THROW(OpenJobFile(job, Path("none.JCD")), FileError);
    EXPECT_EQ(job.filePath, path);

    // Open keeps the first 15999 lines, whatever they hold, in an untitled job: saved
    // over its file it would lose the rest.
    std::vector<std::string> lines(16001, line);
    lines[15998] = "\x01\xff";
    EXPECT_EQ(OpenJobFile(job, Write("big.JCD", JoinLinesCrLf(lines))), 16001u);
    EXPECT_EQ(job.lines.size(), 15999u);
    EXPECT_EQ(job.lines.back(), "\x01\xff");
    EXPECT_TRUE(job.untitled && !job.modified && job.docName == "Job2");
}

TEST(DocumentKind, FollowsTheExtensionInUpperOrLowerCaseOnly) {
    EXPECT_EQ(DocumentKindOf("/a/site.JCD"), DocumentKind::JobFile);
    EXPECT_EQ(DocumentKindOf("site.jcd"), DocumentKind::JobFile);
    EXPECT_EQ(DocumentKindOf("m.tsm"), DocumentKind::MeasurementFile);
    EXPECT_EQ(DocumentKindOf("m.GT7"), DocumentKind::GtsText);
    EXPECT_EQ(DocumentKindOf("m.gts"), DocumentKind::GtsText);
    EXPECT_EQ(DocumentKindOf("notes.TXT"), DocumentKind::Text);
    // Mixed case, other kinds, and a folder's extension are not documents.
    for (const char* path : {"site.Jcd", "points.PTS", "card.TSD", "jobs.JCD/readme", "JCD"})
        EXPECT_FALSE(DocumentKindOf(path).has_value()) << path;
}
