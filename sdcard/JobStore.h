// Job stores (".TSD") of the instrument's card: named jobs of raw records and a list of
// known coordinates, kept in clusters of 48 record slots, in one of five kinds of store.
#pragma once

#include "rawconv/RawRecords.h"
#include "sdcard/CardFile.h"

#include <cstdint>
#include <ctime>
#include <optional>
#include <string>
#include <vector>

namespace stadix {

namespace jobstore {
constexpr std::uint64_t kDirectoryOffset = 384;
constexpr std::size_t kDirectorySize = 128;
constexpr std::uint64_t kEntriesOffset = 1024;
constexpr std::uint64_t kClusterTableOffset = 3072;
constexpr std::uint64_t kSlotMapsOffset = 5376;
constexpr std::uint64_t kDataOffset = 16384; // the tables end here
constexpr std::uint64_t kClusterSize = 2048;
constexpr int kRecordsPerCluster = 48;
constexpr int kMaxJobRecords = 3072;
constexpr std::uint8_t kFreeCluster = 0xFF;
// Entry bytes: name (9), record count (16 bits), then in dated entries the creation time.
constexpr std::size_t kEntryCount = 9;
constexpr std::size_t kEntryYear = 11;
// CreateJob's answer when no job can be created.
constexpr int kNoNewJob = 255;

// Slot of block of cluster: six records to a block of 256 bytes, eight blocks to a
// cluster.
constexpr std::uint64_t RecordOffset(int cluster, int block, int slot) {
    return kDataOffset + static_cast<std::uint64_t>(cluster) * kClusterSize + block * 256 +
           slot * kRawRecordSize;
}
} // namespace jobstore

// One kind of job store, told apart by its magic number.
struct JobStoreLayout {
    std::uint16_t magic;
    bool bigEndian; // every number of the store, and inside its records
    int subFormat;
    int jobs;
    int entrySize;
    int totalBlocks;

    bool Dated() const { return subFormat == 3; }
    int Clusters() const { return totalBlocks / 8 - 8; }
    int Capacity() const { return Clusters() * jobstore::kRecordsPerCluster; }
    std::uint64_t FileSize() const { return static_cast<std::uint64_t>(totalBlocks) * 256; }
    std::uint64_t MagicOffset() const { return bigEndian ? 261 : 256; }
    std::uint64_t CurrentJobOffset() const { return bigEndian ? 256 : 288; }
    std::uint64_t FreeCounterOffset() const { return bigEndian ? 257 : 290; }
    std::uint64_t KnownCountOffset() const { return bigEndian ? 259 : 294; }
    std::uint64_t EntryOffset(int job) const {
        return jobstore::kEntriesOffset + static_cast<std::uint64_t>(job) * entrySize;
    }
};

// The five kinds, in the order in which DetectJobStore tries them.
inline constexpr JobStoreLayout kJobStoreLayouts[] = {
    {0xCC88, false, 2, 128, 16, 8312}, {0xDD99, false, 3, 32, 64, 8312},
    {0xCC88, true, 0, 128, 16, 8320},  {0xCC77, true, 0, 128, 16, 8704},
    {0xDD88, true, 1, 128, 16, 8320},
};

// One open job store. Jobs are numbered from 0; the known-coordinates list counts as
// one more job, numbered as the store's job count. Every change is written to the file
// at once. A store shorter than its kind is read only inside its end and never written:
// its tables are not loaded for writing. A job whose counts disagree with its clusters
// or slot maps is neither read nor written.
// The kind's values hold once DetectJobStore has recognised the store; the directory,
// the job list and the jobs need the tables loaded.
class JobStore {
  public:
    JobStore() = default;
    ~JobStore();
    JobStore(const JobStore&) = delete;
    JobStore& operator=(const JobStore&) = delete;

    bool OpenJobStore(const std::string& path, CardAccess access);
    // Recognises the kind of store by its magic number.
    bool DetectJobStore();
    const JobStoreLayout& Layout() const { return *layout_; }
    CardByteOrder ByteOrder() const;
    int KnownCoordinatesJob() const { return layout_->jobs; }
    // Reads the tables: the current job, the free-record counter, the directory, the
    // job entries, the cluster table and the slot maps. Refuses a store opened for
    // writing that is shorter than its kind, before anything is written.
    bool LoadJobStoreTables();

    int CurrentJob() const;
    int FreeRecordCounter() const;
    // The directory: the job numbers of the existing jobs, in list order.
    int DirectoryLength() const;
    int JobAtPosition(int position) const;

    // 0 for a number that is no job of the store.
    int JobRecordCount(int job) const;
    // Why the job cannot be read or written (its counts disagree with its clusters),
    // or an empty text.
    const std::string& JobProblem(int job);
    // The record at index (from 0) in the job's order: clusters ascending, then blocks,
    // then slots.
    CardStatus ReadJobRecord(int job, int index, RawRecord& record);
    // JobFull when the job holds 3072 records, StoreFull when no cluster has room.
    CardStatus AddJobRecord(int job, const RawRecord& record);

    // The directory position of the job of that name (letters in any case), or -1.
    int FindJob(const std::string& name) const;
    // Appends a new job to the directory and returns its number, or kNoNewJob when the
    // directory is full or writing failed. Dated stores record the local time.
    int CreateJob(const std::string& name);
    int CreateJob(const std::string& name, const std::tm& created);

    // The job list line of the job at the directory position.
    std::string JobListText(int position) const;
    // The job list: the known-coordinates item, then one line per job in list order.
    std::vector<std::string> JobListItems() const;
    // The job list as columns, one row per item of JobListItems: the name ("*" before the
    // current job's), the record count and, in dated stores, the creation time with a
    // four-digit year.
    struct JobListRow {
        std::string name;
        int records = 0;
        std::string created;
    };
    JobListRow JobListRowAt(int position) const;
    std::vector<JobListRow> JobListRows() const;
    // The job that an item of JobListItems stands for.
    int JobOfListItem(int item) const;

    void FreeJobStoreTables();
    CardStatus CloseJobStore();

    // Why the last operation failed.
    const CardProblem& Problem() const { return problem_; }

  private:
    struct Slot {
        int block;
        int slot;
    };

    bool Loaded() const { return !tables_.empty(); }
    bool IsJob(int job) const { return Loaded() && job >= 0 && job <= layout_->jobs; }
    std::uint64_t CountOffset(int job) const;
    std::string JobName(int job) const;
    // A new job's entry: the name up to its first unprintable character, no records, and
    // in dated stores the time of creation.
    std::vector<std::uint8_t> NewJobEntry(const std::string& name, const std::tm& created) const;
    int Word16(std::uint64_t offset) const;
    // A 16-bit number in the store's byte order.
    void PutWord16(std::uint8_t* bytes, int value) const;
    // Writes to the file and, once written, to the tables in memory.
    bool WriteTables(std::uint64_t offset, const std::uint8_t* bytes, std::size_t size);
    bool WriteWord16(std::uint64_t offset, int value);
    int ClusterOwner(int cluster) const;
    int ClusterCount(int cluster) const;
    const std::uint8_t* SlotMap(int cluster) const;
    int UsedSlots(int cluster) const;
    // The nth used (or free) slot of the cluster in block and slot order.
    std::optional<Slot> FindSlot(int cluster, bool used, int nth) const;
    std::string CheckJob(int job) const;
    std::string ClusterDamage(int cluster) const;
    std::string JobLabel(int job) const;
    std::optional<int> ClusterForNewRecord(int job) const;
    CardStatus Fail(const std::string& text, bool whileWriting = false);
    bool Refuse(const std::string& text);

    CardFile file_;
    std::string path_;
    CardAccess access_ = CardAccess::ReadOnly;
    std::optional<JobStoreLayout> layout_;
    // The first 16384 bytes of the file, which hold every table.
    std::vector<std::uint8_t> tables_;
    std::vector<std::optional<std::string>> jobProblems_;
    CardProblem problem_;
};

// How opening a job store for a card command went: NotUsable is an unrecognised store
// or one whose tables cannot be read.
enum class StoreOpening { Opened, CannotOpen, NotUsable };

// Opens, recognises and loads the store; its Problem() says why not.
StoreOpening OpenCardJobStore(JobStore& store, const std::string& path, CardAccess access);

} // namespace stadix
