#include "sdcard/JobStore.h"

#include "sdcard/JobName.h"

#include "base/FileIO.h"
#include "tests/support/CardImages.h"
#include "tests/support/RawRecordBuilder.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

namespace stadix {
namespace {

using namespace std::string_literals;
using test::JobStoreImage;
using test::RawRecordBuilder;

const JobStoreLayout& kLittle = kJobStoreLayouts[0];
const JobStoreLayout& kDated = kJobStoreLayouts[1];
const JobStoreLayout& kLargest = kJobStoreLayouts[3];

RawRecord Numbered(int n) {
    return RawRecordBuilder(kTypePt, true).UInt32(19, static_cast<std::uint32_t>(n)).Build();
}

std::uint32_t NumberOf(const RawRecord& record) {
    return RawRecordBuilder(kTypePt, true).Build() == record ? 0 : ReadUInt32({}, record, 19);
}

class JobStoreTest : public test::TempFolderTest {
  protected:
    // Writes the bytes as DATA.TSD and opens, recognises and loads it.
    JobStore& Open(const std::string& bytes, CardAccess access = CardAccess::ReadWrite) {
        WriteFileAtomically(Path("DATA.TSD"), bytes);
        EXPECT_EQ(OpenCardJobStore(store, Path("DATA.TSD"), access), StoreOpening::Opened)
            << store.Problem().text;
        return store;
    }
    std::string Read() { return ReadFileBytes(Path("DATA.TSD")); }
    std::vector<std::uint32_t> Numbers(int job) {
        std::vector<std::uint32_t> numbers;
        RawRecord record;
        for (int i = 0; i < store.JobRecordCount(job); ++i) {
            EXPECT_EQ(store.ReadJobRecord(job, i, record), CardStatus::Success);
            numbers.push_back(NumberOf(record));
        }
        return numbers;
    }

    JobStore store;
};

TEST_F(JobStoreTest, RecognisesEveryKindByItsMagicNumber) {
    struct Case {
        std::uint64_t offset;
        std::string magic;
        int subFormat, jobs, clusters, capacity;
        bool bigEndian;
    };
    const Case cases[] = {{256, "\x88\xCC", 2, 128, 1031, 49488, false},
                          {256, "\x99\xDD", 3, 32, 1031, 49488, false},
                          {261, "\xCC\x88", 0, 128, 1032, 49536, true},
                          {261, "\xCC\x77", 0, 128, 1080, 51840, true},
                          {261, "\xDD\x88", 1, 128, 1032, 49536, true}};
    for (const Case& c : cases) {
        std::string bytes(300, '\x11');
        bytes.replace(c.offset, 2, c.magic);
        WriteFileAtomically(Path("DATA.TSD"), bytes);
        ASSERT_TRUE(store.OpenJobStore(Path("DATA.TSD"), CardAccess::ReadOnly));
        ASSERT_TRUE(store.DetectJobStore()) << c.magic;
        const JobStoreLayout& layout = store.Layout();
        EXPECT_EQ(std::tie(layout.subFormat, layout.jobs, layout.bigEndian),
                  std::tie(c.subFormat, c.jobs, c.bigEndian));
        EXPECT_EQ(std::make_pair(layout.Clusters(), layout.Capacity()),
                  std::make_pair(c.clusters, c.capacity));
        EXPECT_EQ(store.ByteOrder(),
                  c.bigEndian ? CardByteOrder::BigEndian : CardByteOrder::LittleEndian);
    }
    // A big-endian magic number where a little-endian store has its own.
    std::string swapped(300, '\0');
    swapped.replace(256, 2, "\xCC\x88");
    WriteFileAtomically(Path("DATA.TSD"), swapped);
    ASSERT_TRUE(store.OpenJobStore(Path("DATA.TSD"), CardAccess::ReadOnly));
    EXPECT_FALSE(store.DetectJobStore());
    WriteFileAtomically(Path("DATA.TSD"), std::string(262, '\0'));
    EXPECT_EQ(OpenCardJobStore(store, Path("DATA.TSD"), CardAccess::ReadOnly),
              StoreOpening::NotUsable);
    EXPECT_NE(store.Problem().text.find("not a job store"), std::string::npos);
    EXPECT_EQ(OpenCardJobStore(store, Path("none.TSD"), CardAccess::ReadOnly),
              StoreOpening::CannotOpen);
}

// Records fill a job's clusters slot by slot, and every count goes into the file in the
// store's byte order: the file equals one laid out by hand.
TEST_F(JobStoreTest, AddedRecordsLieWhereTheLayoutSaysInEveryKind) {
    for (const JobStoreLayout& layout : kJobStoreLayouts) {
        const int known = layout.jobs;
        JobStoreImage expected(layout);
        expected.AddJob(3, "JOB3");
        Open(JobStoreImage(expected).Bytes());
        for (int n = 0; n < 50; ++n) {
            ASSERT_EQ(store.AddJobRecord(3, Numbered(n)), CardStatus::Success);
            expected.Put(3, n / 48, n % 48 / 6, n % 6, Numbered(n));
        }
        ASSERT_EQ(store.AddJobRecord(known, Numbered(99)), CardStatus::Success);
        expected.Put(known, 2, 0, 0, Numbered(99));
        EXPECT_EQ(store.CloseJobStore(), CardStatus::Success);
        const std::string bytes = Read();
        ASSERT_EQ(bytes, expected.Bytes()) << layout.magic;
        // The first record, the seventh, the 49th and the known list's first.
        const auto record = [](int n) {
            const RawRecord numbered = Numbered(n);
            return std::string(numbered.begin(), numbered.end());
        };
        EXPECT_EQ(bytes.substr(16384, 42), record(0));
        EXPECT_EQ(bytes.substr(16640, 42), record(6));
        EXPECT_EQ(bytes.substr(18432, 42), record(48));
        EXPECT_EQ(static_cast<unsigned char>(bytes[3072 + 4]), known + 1);
    }
}

TEST_F(JobStoreTest, JobsTakingTurnsKeepTheirOwnOrder) {
    Open(JobStoreImage(kLargest).AddJob(0, "A").AddJob(1, "B").Bytes());
    std::vector<std::uint32_t> first, second;
    for (std::uint32_t n = 1; n <= 100; ++n) {
        ASSERT_EQ(store.AddJobRecord(n % 3 == 0 ? 1 : 0, Numbered(static_cast<int>(n))),
                  CardStatus::Success);
        (n % 3 == 0 ? second : first).push_back(n);
    }
    EXPECT_EQ(Numbers(0), first);
    EXPECT_EQ(Numbers(1), second);
    RawRecord record;
    EXPECT_EQ(store.ReadJobRecord(1, 33, record), CardStatus::Failure);
    EXPECT_EQ(store.ReadJobRecord(2, 0, record), CardStatus::Failure);
}

TEST_F(JobStoreTest, AFullJobOrAFullStoreTakesNothing) {
    const std::string fullJob =
        JobStoreImage(kDated).AddJob(0, "FULL").Fill(0, 5, 3072, Numbered(1)).Bytes();
    Open(fullJob);
    EXPECT_EQ(store.AddJobRecord(0, Numbered(2)), CardStatus::JobFull);
    EXPECT_EQ(Numbers(0).size(), 3072u);
    store.CloseJobStore();
    EXPECT_EQ(Read(), fullJob);

    // Every cluster belongs to job 5.
    JobStoreImage image(kLittle);
    image.AddJob(5, "ALL").AddJob(0, "NONE");
    for (int cluster = 0; cluster < kLittle.Clusters(); ++cluster) {
        image.Byte(3072 + cluster * 2, 6).Byte(3072 + cluster * 2 + 1, 48);
        for (int block = 0; block < 8; ++block)
            image.Byte(5376 + cluster * 8 + block, 0xC0);
    }
    Open(image.Bytes());
    EXPECT_EQ(store.AddJobRecord(0, Numbered(2)), CardStatus::StoreFull);
    EXPECT_EQ(store.Problem().text, "");
    store.CloseJobStore();
    EXPECT_EQ(Read(), image.Bytes());
}

TEST_F(JobStoreTest, CreatesListsAndFindsJobs) {
    Open(JobStoreImage(kLittle)
             .AddJob(0, "JOB0")
             .AddJob(1, "Job1")
             .AddJob(3, "JOB3")
             .Byte(288, 1)
             .Bytes());
    // A new name is trimmed and upper-cased, and refused whole when it does not fit.
    EXPECT_EQ(NewJobName(" new-1 "), "NEW-1");
    EXPECT_EQ(NewJobName("A.#$%!&@"), "A.#$%!&@");
    for (const char* refused : {"", "ABCDEFGHI", "A_B", "A B"})
        EXPECT_EQ(NewJobName(refused), std::nullopt) << refused;
    EXPECT_EQ(store.CreateJob("NEW\x01X"), 2);
    EXPECT_EQ(store.FindJob("new"), 3);
    EXPECT_EQ(store.FindJob("JOB1"), 1);
    EXPECT_EQ(store.FindJob("JOB"), -1);
    ASSERT_EQ(store.AddJobRecord(store.KnownCoordinatesJob(), Numbered(1)), CardStatus::Success);
    EXPECT_EQ(
        store.JobListItems(),
        (std::vector<std::string>{" Known Coord        1", " JOB0                      0",
                                  "*Job1                      0", " JOB3                      0",
                                  " NEW                       0"}));
    EXPECT_EQ(store.JobListRows()[2].name, "*Job1");
    EXPECT_EQ(store.JobOfListItem(4), 2);
    EXPECT_EQ(store.JobOfListItem(0), 128);
    store.CloseJobStore();
    const std::string bytes = Read();
    EXPECT_EQ(bytes.substr(384, 5), "\x00\x01\x03\x02\xFF"s);
    EXPECT_EQ(bytes.substr(1024 + 2 * 16, 16), "NEW"s + std::string(13, '\0'));

    // Dated entries carry the time of creation; a full directory takes no more.
    JobStoreImage dated(kDated);
    for (int job = 0; job < 31; ++job)
        dated.AddJob(job, "J" + std::to_string(job));
    Open(dated.Bytes());
    std::tm created{};
    created.tm_year = 108;
    created.tm_mon = 2;
    created.tm_mday = 5;
    created.tm_hour = 9;
    created.tm_min = 7;
    EXPECT_EQ(store.CreateJob("JOB1", created), 31);
    EXPECT_EQ(store.JobListText(31), " JOB1            0      08-03-05  9:07");
    EXPECT_EQ(store.JobListRowAt(31).created, "2008-03-05 09:07");
    EXPECT_EQ(store.CreateJob("MORE", created), jobstore::kNoNewJob);
    store.CloseJobStore();
    const std::string entry = Read().substr(1024 + 31 * 64, 65);
    EXPECT_EQ(entry, "JOB1"s + std::string(7, '\0') + "\xD8\x07\x03\x05\x09\x07"s +
                         std::string(47, '\0') + dated.Bytes()[1024 + 32 * 64]);
}

// A store cut short of its kind is read only inside its end and never written.
TEST_F(JobStoreTest, AShortStoreIsReadInsideItsEndAndNeverWritten) {
    JobStoreImage image(kLittle);
    image.AddJob(0, "ZERO").AddJob(1, "ONE").Fill(0, 0, 48, Numbered(0));
    for (int slot = 0; slot < 3; ++slot)
        image.Put(1, 1, 0, slot, Numbered(slot + 1));
    const std::string bytes = image.Bytes().substr(0, 18432 + 100);
    Open(bytes, CardAccess::ReadOnly);
    RawRecord record;
    EXPECT_EQ(store.ReadJobRecord(1, 1, record), CardStatus::Success);
    EXPECT_EQ(NumberOf(record), 2u);
    EXPECT_EQ(store.ReadJobRecord(1, 2, record), CardStatus::Failure);
    EXPECT_NE(store.Problem().text.find("ends at byte 18532, before record 3 of job 1"),
              std::string::npos)
        << store.Problem().text;
    EXPECT_EQ(OpenCardJobStore(store, Path("DATA.TSD"), CardAccess::ReadWrite),
              StoreOpening::NotUsable);
    store.CloseJobStore();
    EXPECT_EQ(Read(), bytes);

    WriteFileAtomically(Path("DATA.TSD"), bytes.substr(0, 16383));
    EXPECT_EQ(OpenCardJobStore(store, Path("DATA.TSD"), CardAccess::ReadWrite),
              StoreOpening::NotUsable);
    EXPECT_NE(store.Problem().text.find("too short to hold its tables"), std::string::npos);
}

// Counts that disagree with the clusters or the slot maps stop the job they belong to.
TEST_F(JobStoreTest, AJobWhoseTablesDisagreeIsNeitherReadNorWritten) {
    JobStoreImage good(kLargest);
    good.AddJob(0, "BAD").AddJob(1, "GOOD").Fill(0, 0, 48, Numbered(1)).Fill(1, 1, 2, Numbered(2));
    const std::uint64_t count0 = good.CountOffset(0);
    const std::pair<JobStoreImage, std::string> damaged[] = {
        {JobStoreImage(good).Word16(count0, 50), "job 0 counts 50 records, its clusters hold 48"},
        {JobStoreImage(good).Byte(3073, 49), "counts 49 records; a cluster holds 48"},
        {JobStoreImage(good).Byte(5376, 0xFD),
         "cluster 0 counts 48 records, its slot map marks 43"}};
    RawRecord record;
    for (const auto& [image, reason] : damaged) {
        Open(image.Bytes());
        const CardStatus read = store.ReadJobRecord(0, 0, record);
        EXPECT_EQ(read, CardStatus::Failure) << reason;
        EXPECT_EQ(store.AddJobRecord(0, Numbered(7)), CardStatus::Failure) << reason;
        EXPECT_NE(store.Problem().text.find(reason), std::string::npos) << store.Problem().text;
        EXPECT_EQ(Numbers(1), (std::vector<std::uint32_t>{2, 2}));
        store.CloseJobStore();
        EXPECT_EQ(Read(), image.Bytes()) << reason;
    }
    // Job 0's cluster is full; the next free cluster still marks the records of a job
    // that was removed without clearing them.
    const std::string stale = JobStoreImage(good).Byte(3074, 0xFF).Byte(3075, 0).Bytes();
    Open(stale);
    EXPECT_EQ(store.AddJobRecord(0, Numbered(7)), CardStatus::Failure);
    EXPECT_NE(store.Problem().text.find("cluster 1 counts 0 records, its slot map marks 2"),
              std::string::npos);
    store.CloseJobStore();
    EXPECT_EQ(Read(), stale);
}

} // namespace
} // namespace stadix
