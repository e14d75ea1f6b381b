#include "job/RecordLine.h"
#include "tests/support/CardImages.h"
#include "tests/support/CliFolderTest.h"
#include "tests/support/RawRecordBuilder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/stat.h>
#include <tuple>

namespace {

using namespace std::string_literals;
using stadix::RawRecord;
using stadix::test::RawRecordBuilder;

class CliCardTest : public stadix::test::CliFolderTest {
  protected:
    void SetUp() override {
        CliFolderTest::SetUp();
        // A dated store with the jobs SITE (records 2, the current job) and EMPTY, and
        // one known point; a record file with a station and a known point.
        const stadix::JobStoreLayout& dated = stadix::kJobStoreLayouts[1];
        store =
            stadix::test::JobStoreImage(dated)
                .AddJob(3, "SITE")
                .AddJob(0, "EMPTY")
                .Byte(288, 3)
                .Put(3, 0, 0, 0, Point(stadix::kTypeStn, "S1"))
                .Put(3, 0, 0, 1, RawRecordBuilder(stadix::kTypeAng, false).Bytes(1, "A1").Build())
                .Put(dated.jobs, 1, 0, 0, Point(stadix::kTypePt, "K1"))
                .Bytes();
        Write("CARD.TSD", store);
        record = stadix::test::RecordFileImage()
                     .Put(0, Point(stadix::kTypeStn, "S1"))
                     .Put(1, Point(stadix::kTypePt, "K1"))
                     .Bytes();
        Write("CARD.tsr", record);
        Write("job.JCD", Line("P1", "1") + "\r\n" + Line("P2", "2") + "\r\n");
    }

    static RawRecord Point(std::uint8_t type, const std::string& name) {
        const std::size_t north = type == stadix::kTypePt ? 19 : 23;
        return RawRecordBuilder(type, false).Bytes(1, name).Coordinate(north, 1, 500).Build();
    }
    static std::string Line(const std::string& name, const std::string& code) {
        return stadix::MakeRecordLine(name, code, "1.5", "0", "0");
    }

    std::string store;
    std::string record;
};

TEST_F(CliCardTest, ListsTheJobsOfAJobStore) {
    auto jobs = Cli("card-jobs @CARD.TSD");
    EXPECT_EQ(jobs->Wait(), 0) << jobs->Err();
    EXPECT_EQ(jobs->Out(), " Known Coord        1\n"
                           "*SITE            2      00-00-00  0:00\n"
                           " EMPTY           0      00-00-00  0:00\n");
    Write("zero.TSD", std::string(20000, '\0'));
    auto unknown = Cli("card-jobs @zero.TSD");
    EXPECT_EQ(unknown->Wait(), 2);
    EXPECT_EQ(unknown->Err().substr(0, 47), "选取的记录区未格式化或存在错误!\n");
    EXPECT_EQ(Code("card-jobs @CARD.tsr"), 2);
}

TEST_F(CliCardTest, ImportsAsTheImportOptionsSayAndNeverChangesTheCard) {
    auto coords = Cli("card-import @CARD.TSD --job site @out.jcd");
    EXPECT_EQ(coords->Wait(), 0) << coords->Err();
    EXPECT_EQ(Read("out.jcd"), Line("S1", "") + "\r\n");
    auto raw = Cli("card-import --job SITE --data raw --angle gon --dist us-ft @CARD.TSD -");
    EXPECT_EQ(raw->Wait(), 0) << raw->Err();
    EXPECT_EQ(raw->Out(), "STN:  S1,0.00,4.92,0.00,0.00\r\nANG:  A1,0.00,0.0000,0.0000\r\n");
    auto known = Cli("card-import --known @CARD.TSD -");
    EXPECT_EQ(known->Out(), Line("K1", "") + "\r\n");
    auto fromFile = Cli("card-import --data known @CARD.tsr -");
    EXPECT_EQ(fromFile->Out(), Line("K1", "") + "\r\n");
    Write("m.gt7", "SS,1\n");
    EXPECT_EQ(Cli("card-import @m.gt7 -")->Out(), "SS,1\r\n");
    Write("m.pts", "P1,200,100,5\n");
    EXPECT_EQ(Cli("card-import @m.pts -")->Out(),
              stadix::MakeRecordLine("P1", "", "100", "200", "5") + "\r\n");
    Write("m.PTS", "P1,x,1,2\n");

    Write("EMPTY.TSR", stadix::test::RecordFileImage().Bytes());
    Write("bad.TSR", "not a record file");
    const std::pair<const char*, std::string> refused[] = {
        {"card-import --job EMPTY @CARD.TSD @out.JCD", "No record in the file\n"},
        {"card-import @EMPTY.TSR @out.JCD", "No record in the file\n"},
        {"card-import --job NONE @CARD.TSD @out.JCD", "No job named NONE in the job store.\n"},
        {"card-import @bad.TSR @out.JCD", "Cannot import data from this file！\n"},
        {"card-import @CARD.Tsr @out.JCD", "Not a card file"},
        {"card-import @m.PTS @out.JCD", "'x' is not a valid floating point value"}};
    for (const auto& [arguments, message] : refused) {
        auto cli = Cli(arguments);
        EXPECT_EQ(cli->Wait(), 2) << arguments;
        EXPECT_NE(cli->Err().find(message), std::string::npos) << cli->Err();
    }
    for (const char* usage :
         {"card-import @CARD.TSD @out.JCD", "card-import --job SITE --known @CARD.TSD @out.JCD",
          "card-import --known --data raw @CARD.TSD @out.JCD",
          "card-import --job SITE @CARD.tsr @out.JCD", "card-import --data gon @CARD.tsr @out.JCD",
          "card-import --dist m @m.gt7 @out.JCD"})
        EXPECT_EQ(Code(usage), 1) << usage;
    EXPECT_FALSE(std::filesystem::exists(Path("out.JCD")));
    EXPECT_EQ(std::make_pair(Read("CARD.TSD"), Read("CARD.tsr")), std::make_pair(store, record));
}

TEST_F(CliCardTest, ExportsToRecordFilesAndJobs) {
    EXPECT_EQ(Code("card-export @job.JCD @NEW.TSR"), 2);
    EXPECT_FALSE(std::filesystem::exists(Path("NEW.TSR")));
    auto created = Cli("card-export --create @job.JCD @NEW.TSR");
    EXPECT_EQ(created->Wait(), 0) << created->Err();
    EXPECT_EQ(created->Err(), "Total exported coord.data:2\n");
    EXPECT_EQ(Read("NEW.TSR").substr(34, 2), "\x02\0"s);

    auto newJob = Cli("card-export --job new --create-job @job.JCD @CARD.TSD");
    EXPECT_EQ(newJob->Wait(), 0) << newJob->Err();
    auto known = Cli("card-export --known @job.JCD @CARD.TSD");
    EXPECT_EQ(known->Wait(), 0) << known->Err();
    const std::string lines = Cli("card-jobs @CARD.TSD")->Out();
    EXPECT_EQ(lines.substr(0, 22), " Known Coord        3\n");
    EXPECT_NE(lines.find("\n NEW             2      "), std::string::npos) << lines;

    const std::string changed = Read("CARD.TSD");
    Write("none.JCD", "P9\r\n");
    const std::pair<const char*, int> refused[] = {
        {"card-export --job SITE --create-job @job.JCD @CARD.TSD", 2},
        {"card-export --job NOBODY @job.JCD @CARD.TSD", 2},
        {"card-export --job SITE @none.JCD @CARD.TSD", 2},
        {"card-export --job SITE @job.JCD @CARD.PTS", 1},
        {"card-export --job SITE @job.JCD @missing.TSD", 2},
        {"card-export --job SITE @job.JCD @CARD.tsr", 1},
        {"card-export --job NINECHARS --create-job @job.JCD @CARD.TSD", 1},
        {"card-export --job A_B --create-job @job.JCD @CARD.TSD", 1},
        {"card-export --create-job @job.JCD @CARD.TSD", 1},
        {"card-export @job.JCD @CARD.TSD", 1}};
    for (const auto& [arguments, code] : refused)
        EXPECT_EQ(Code(arguments), code) << arguments;
    EXPECT_EQ(Cli(refused[0].first)->Err(), "JOB already exists. Creation failed!\n");
    EXPECT_EQ(Read("CARD.TSD"), changed);
    EXPECT_FALSE(std::filesystem::exists(Path("CARD.PTS")));

    // A PTS text file: written new, replaced only with --create.
    EXPECT_EQ(Code("card-export @job.JCD @CARD.PTS"), 0);
    const std::string pts = Read("CARD.PTS");
    EXPECT_EQ(pts.substr(0, pts.find('\n') + 1), "P1,0.000,1.500,0.000,1\r\n");
    Write("CARD.PTS", "old");
    EXPECT_EQ(Code("card-export @job.JCD @CARD.PTS"), 2);
    EXPECT_EQ(Read("CARD.PTS"), "old");
    EXPECT_EQ(Code("card-export --create @job.JCD @CARD.PTS"), 0);
    EXPECT_EQ(Read("CARD.PTS"), pts);
}

// The records stored stay stored: a full job ends well.
TEST_F(CliCardTest, AFullJobKeepsWhatFitsAndEndsWell) {
    const stadix::JobStoreLayout& layout = stadix::kJobStoreLayouts[0];
    Write("FULL.TSD",
          stadix::test::JobStoreImage(layout).AddJob(0, "J").Fill(0, 0, 3071, {}).Bytes());
    auto full = Cli("card-export --job J @job.JCD @FULL.TSD");
    EXPECT_EQ(full->Wait(), 0);
    EXPECT_EQ(full->Err(), "The file is full.Total exported coord.data:1\n");
}

// A store shorter than its kind is listed and read, and never written.
TEST_F(CliCardTest, AShortStoreIsReadButNeverWritten) {
    const std::string shortStore = store.substr(0, 16384 + 2048);
    Write("SHORT.TSD", shortStore);
    auto cli = Cli("card-export --job NEW --create-job @job.JCD @SHORT.TSD");
    EXPECT_EQ(cli->Wait(), 2);
    EXPECT_NE(cli->Err().find(" is 18432 bytes long; a store of this kind is 2127872 bytes."),
              std::string::npos)
        << cli->Err();
    EXPECT_EQ(Read("SHORT.TSD"), shortStore);
    EXPECT_EQ(Cli("card-jobs @SHORT.TSD")->Out(), Cli("card-jobs @CARD.TSD")->Out());
    EXPECT_EQ(Cli("card-import --job SITE @SHORT.TSD -")->Out(), Line("S1", "") + "\r\n");
}

// A folder or a pipe named as a card file is refused at once, with the reason.
TEST_F(CliCardTest, CardPathsThatAreNoFilesAreRefusedWithTheReason) {
    for (const char* name : {"DIR.TSD", "DIR.TSR", "DIR.PTS"})
        std::filesystem::create_directory(Path(name));
    ASSERT_EQ(::mkfifo(Path("PIPE.TSR").c_str(), 0600), 0);
    const char* const folder = " It is a folder, not a file.\n";
    const char* const pipe = " It is not a regular file but a device, a pipe or a socket.\n";
    const std::tuple<const char*, const char*, const char*> refused[] = {
        {"card-jobs @DIR.TSD", "DIR.TSD", folder},
        {"card-import --known @DIR.TSD -", "DIR.TSD", folder},
        {"card-import @DIR.TSR -", "DIR.TSR", folder},
        {"card-export --known @job.JCD @DIR.TSD", "DIR.TSD", folder},
        {"card-export --create @job.JCD @DIR.TSR", "DIR.TSR", folder},
        {"card-export --create @job.JCD @DIR.PTS", "DIR.PTS", folder},
        {"card-import @PIPE.TSR -", "PIPE.TSR", pipe},
        {"card-export @job.JCD @PIPE.TSR", "PIPE.TSR", pipe}};
    for (const auto& [arguments, name, reason] : refused) {
        auto cli = Cli(arguments);
        EXPECT_EQ(cli->Wait(), 2) << arguments;
        const std::string err = cli->Err();
        EXPECT_EQ(err.substr(err.find('\n') + 1),
                  "Cannot open file \"" + Path(name) + "\"." + reason)
            << arguments;
    }
}

} // namespace
