#include "sdcard/JobStore.h"

#include <algorithm>
#include <bitset>
#include <cstdio>
#include <cstring>

namespace stadix {

using namespace jobstore;

namespace {

constexpr std::size_t kNameSize = 9;
constexpr std::size_t kEntryMonth = 13;
constexpr std::size_t kEntryDay = 14;
constexpr std::size_t kEntryHour = 15;
constexpr std::size_t kEntryMinute = 16;
constexpr std::uint8_t kSlotBits = 0x3F; // bits 0 to 5: the six slots of a block, 1 = free

std::string UpperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

} // namespace

JobStore::~JobStore() {
    CloseJobStore();
}

bool JobStore::OpenJobStore(const std::string& path, CardAccess access) {
    CloseJobStore();
    problem_ = {};
    path_ = path;
    access_ = access;
    if (file_.Open(path, access))
        return true;
    problem_ = file_.Problem();
    return false;
}

bool JobStore::DetectJobStore() {
    layout_.reset();
    for (const JobStoreLayout& layout : kJobStoreLayouts) {
        std::uint8_t magic[2] = {};
        if (!file_.ReadAt(layout.MagicOffset(), magic, sizeof magic))
            continue;
        const int value = layout.bigEndian ? magic[0] << 8 | magic[1] : magic[1] << 8 | magic[0];
        if (value == layout.magic) {
            layout_ = layout;
            return true;
        }
    }
    return Refuse("The file \"" + path_ + "\" is not a job store: it has no known magic number.");
}

CardByteOrder JobStore::ByteOrder() const {
    return layout_->bigEndian ? CardByteOrder::BigEndian : CardByteOrder::LittleEndian;
}

bool JobStore::LoadJobStoreTables() {
    FreeJobStoreTables();
    if (!layout_)
        return Refuse("The job store has not been recognised.");
    std::vector<std::uint8_t> tables(kDataOffset);
    if (file_.Size() < kDataOffset)
        return Refuse("The job store \"" + path_ + "\" is " + std::to_string(file_.Size()) +
                      " bytes long, too short to hold its tables (" + std::to_string(kDataOffset) +
                      " bytes).");
    if (access_ == CardAccess::ReadWrite && file_.Size() < layout_->FileSize())
        return Refuse("The job store \"" + path_ + "\" is " + std::to_string(file_.Size()) +
                      " bytes long; a store of this kind is " +
                      std::to_string(layout_->FileSize()) + " bytes. It is not written to.");
    if (!file_.ReadAt(0, tables.data(), tables.size()))
        return Refuse(file_.Problem().text);
    tables_ = std::move(tables);
    jobProblems_.assign(layout_->jobs + 1, std::nullopt);
    return true;
}

int JobStore::CurrentJob() const {
    return Loaded() ? tables_[layout_->CurrentJobOffset()] : -1;
}

int JobStore::FreeRecordCounter() const {
    return Loaded() ? Word16(layout_->FreeCounterOffset()) : 0;
}

int JobStore::DirectoryLength() const {
    if (!Loaded())
        return 0;
    int length = 0;
    while (length < static_cast<int>(kDirectorySize) &&
           tables_[kDirectoryOffset + length] < layout_->jobs)
        ++length;
    return length;
}

int JobStore::JobAtPosition(int position) const {
    return tables_[kDirectoryOffset + position];
}

int JobStore::JobRecordCount(int job) const {
    return IsJob(job) ? Word16(CountOffset(job)) : 0;
}

const std::string& JobStore::JobProblem(int job) {
    static const std::string kNoJob = "There is no such job in the job store.";
    if (!IsJob(job))
        return kNoJob;
    std::optional<std::string>& problem = jobProblems_[job];
    if (!problem)
        problem = CheckJob(job);
    return *problem;
}

CardStatus JobStore::ReadJobRecord(int job, int index, RawRecord& record) {
    const std::string& problem = JobProblem(job);
    if (!problem.empty())
        return Fail(problem);
    const int count = JobRecordCount(job);
    if (index < 0 || index >= count)
        return Fail(JobLabel(job) + " holds " + std::to_string(count) + " records; there is no " +
                    "record " + std::to_string(index + 1) + ".");
    int before = 0;
    int cluster = 0;
    while (ClusterOwner(cluster) != job + 1 || before + ClusterCount(cluster) <= index) {
        if (ClusterOwner(cluster) == job + 1)
            before += ClusterCount(cluster);
        ++cluster;
    }
    const std::optional<Slot> slot = FindSlot(cluster, true, index - before);
    if (!slot)
        return Fail(ClusterDamage(cluster));
    const std::uint64_t offset = RecordOffset(cluster, slot->block, slot->slot);
    if (offset + kRawRecordSize > file_.Size())
        return Fail("The job store \"" + path_ + "\" is shorter than its kind: it ends at byte " +
                    std::to_string(file_.Size()) + ", before record " + std::to_string(index + 1) +
                    " of " + JobLabel(job) + ".");
    if (!file_.ReadAt(offset, record.data(), record.size()))
        return Fail(file_.Problem().text);
    return CardStatus::Success;
}

CardStatus JobStore::AddJobRecord(int job, const RawRecord& record) {
    const std::string& problem = JobProblem(job);
    if (!problem.empty())
        return Fail(problem);
    problem_ = {};
    const int count = JobRecordCount(job);
    if (count >= kMaxJobRecords)
        return CardStatus::JobFull;
    const std::optional<int> cluster = ClusterForNewRecord(job);
    if (!cluster)
        return CardStatus::StoreFull;
    if (ClusterOwner(*cluster) == kFreeCluster &&
        (ClusterCount(*cluster) != 0 || UsedSlots(*cluster) != 0))
        return Fail(ClusterDamage(*cluster) + " It is marked free.");
    const std::optional<Slot> slot = FindSlot(*cluster, false, 0);
    if (!slot)
        return Fail(ClusterDamage(*cluster));
    const std::uint64_t offset = RecordOffset(*cluster, slot->block, slot->slot);
    // The record goes first, so that a failed write leaves no slot marked used that holds
    // nothing.
    if (!file_.WriteAt(offset, record.data(), record.size()))
        return Fail(file_.Problem().text, file_.Problem().whileWriting);
    const std::uint64_t mapByte = kSlotMapsOffset + *cluster * 8 + slot->block;
    const std::uint8_t map = static_cast<std::uint8_t>(tables_[mapByte] & ~(1u << slot->slot));
    const std::uint64_t entry = kClusterTableOffset + *cluster * 2;
    const std::uint8_t clusterEntry[2] = {static_cast<std::uint8_t>(job + 1),
                                          static_cast<std::uint8_t>(ClusterCount(*cluster) + 1)};
    const int free = FreeRecordCounter();
    if (!WriteTables(mapByte, &map, 1) || !WriteTables(entry, clusterEntry, 2) ||
        !WriteWord16(CountOffset(job), count + 1) ||
        !WriteWord16(layout_->FreeCounterOffset(), free > 0 ? free - 1 : 0))
        return Fail(file_.Problem().text, file_.Problem().whileWriting);
    return CardStatus::Success;
}

int JobStore::FindJob(const std::string& name) const {
    const std::string wanted = UpperCase(name);
    for (int position = 0; position < DirectoryLength(); ++position) {
        if (UpperCase(JobName(JobAtPosition(position))) == wanted)
            return position;
    }
    return -1;
}

int JobStore::CreateJob(const std::string& name) {
    const std::time_t now = std::time(nullptr);
    return CreateJob(name, *std::localtime(&now));
}

int JobStore::CreateJob(const std::string& name, const std::tm& created) {
    if (!Loaded()) {
        Refuse("No job store is loaded.");
        return kNoNewJob;
    }
    const int length = DirectoryLength();
    if (length >= layout_->jobs) {
        Refuse("The job store holds " + std::to_string(layout_->jobs) +
               " jobs, as many as it can.");
        return kNoNewJob;
    }
    // The smallest number that no job of the directory has, appended to the list.
    std::vector<std::uint8_t> directory(&tables_[kDirectoryOffset],
                                        &tables_[kDirectoryOffset + kDirectorySize]);
    const auto listed = directory.begin() + length;
    int number = 0;
    while (std::find(directory.begin(), listed, number) != listed)
        ++number;
    directory[length] = static_cast<std::uint8_t>(number);
    const std::vector<std::uint8_t> entry = NewJobEntry(name, created);
    // The entry goes first, so that the directory never lists a job without its entry.
    if (!WriteTables(layout_->EntryOffset(number), entry.data(), entry.size()) ||
        !WriteTables(kDirectoryOffset, directory.data(), directory.size())) {
        problem_ = file_.Problem();
        return kNoNewJob;
    }
    jobProblems_[number].reset();
    return number;
}

std::string JobStore::JobListText(int position) const {
    const int job = JobAtPosition(position);
    const std::uint64_t entry = layout_->EntryOffset(job);
    const std::string name = JobName(job);
    const int count = JobRecordCount(job);
    char text[96];
    if (layout_->Dated()) {
        char time[48];
        std::snprintf(time, sizeof time, "%02d-%02d-%02d %2d:%02d",
                      Word16(entry + kEntryYear) % 100, tables_[entry + kEntryMonth],
                      tables_[entry + kEntryDay], tables_[entry + kEntryHour],
                      tables_[entry + kEntryMinute]);
        std::snprintf(text, sizeof text, " %-8s    %5i      %12s", name.c_str(), count, time);
    } else {
        std::snprintf(text, sizeof text, " %-8s              %5d", name.c_str(), count);
    }
    if (job == CurrentJob())
        text[0] = '*';
    return text;
}

std::vector<std::string> JobStore::JobListItems() const {
    char known[32];
    std::snprintf(known, sizeof known, " Known Coord    %5i",
                  JobRecordCount(KnownCoordinatesJob()));
    std::vector<std::string> items = {known};
    for (int position = 0; position < DirectoryLength(); ++position)
        items.push_back(JobListText(position));
    return items;
}

JobStore::JobListRow JobStore::JobListRowAt(int position) const {
    const int job = JobAtPosition(position);
    JobListRow row{(job == CurrentJob() ? "*" : "") + JobName(job), JobRecordCount(job), {}};
    if (layout_->Dated()) {
        const std::uint64_t entry = layout_->EntryOffset(job);
        char time[48];
        std::snprintf(time, sizeof time, "%04d-%02d-%02d %02d:%02d", Word16(entry + kEntryYear),
                      tables_[entry + kEntryMonth], tables_[entry + kEntryDay],
                      tables_[entry + kEntryHour], tables_[entry + kEntryMinute]);
        row.created = time;
    }
    return row;
}

std::vector<JobStore::JobListRow> JobStore::JobListRows() const {
    std::vector<JobListRow> rows = {{"Known Coord", JobRecordCount(KnownCoordinatesJob()), {}}};
    for (int position = 0; position < DirectoryLength(); ++position)
        rows.push_back(JobListRowAt(position));
    return rows;
}

int JobStore::JobOfListItem(int item) const {
    return item == 0 ? KnownCoordinatesJob() : JobAtPosition(item - 1);
}

void JobStore::FreeJobStoreTables() {
    tables_.clear();
    jobProblems_.clear();
}

CardStatus JobStore::CloseJobStore() {
    FreeJobStoreTables();
    layout_.reset();
    if (file_.Close())
        return CardStatus::Success;
    problem_ = file_.Problem();
    return CardStatus::Failure;
}

std::uint64_t JobStore::CountOffset(int job) const {
    return job == KnownCoordinatesJob() ? layout_->KnownCountOffset()
                                        : layout_->EntryOffset(job) + kEntryCount;
}

std::string JobStore::JobName(int job) const {
    const auto* bytes = reinterpret_cast<const char*>(&tables_[layout_->EntryOffset(job)]);
    return std::string(bytes, strnlen(bytes, kNameSize));
}

std::vector<std::uint8_t> JobStore::NewJobEntry(const std::string& name,
                                                const std::tm& created) const {
    std::vector<std::uint8_t> entry(layout_->entrySize, 0);
    for (std::size_t i = 0; i < 8 && i < name.size() && name[i] >= 0x20 && name[i] <= 0x7E; ++i)
        entry[i] = static_cast<std::uint8_t>(name[i]);
    if (layout_->Dated()) {
        PutWord16(&entry[kEntryYear], created.tm_year + 1900);
        entry[kEntryMonth] = static_cast<std::uint8_t>(created.tm_mon + 1);
        entry[kEntryDay] = static_cast<std::uint8_t>(created.tm_mday);
        entry[kEntryHour] = static_cast<std::uint8_t>(created.tm_hour);
        entry[kEntryMinute] = static_cast<std::uint8_t>(created.tm_min);
    }
    return entry;
}

int JobStore::Word16(std::uint64_t offset) const {
    const int first = tables_[offset];
    const int second = tables_[offset + 1];
    return layout_->bigEndian ? first << 8 | second : second << 8 | first;
}

bool JobStore::WriteTables(std::uint64_t offset, const std::uint8_t* bytes, std::size_t size) {
    if (!file_.WriteAt(offset, bytes, size))
        return false;
    std::memcpy(&tables_[offset], bytes, size);
    return true;
}

void JobStore::PutWord16(std::uint8_t* bytes, int value) const {
    const auto high = static_cast<std::uint8_t>(value >> 8);
    const auto low = static_cast<std::uint8_t>(value);
    bytes[0] = layout_->bigEndian ? high : low;
    bytes[1] = layout_->bigEndian ? low : high;
}

bool JobStore::WriteWord16(std::uint64_t offset, int value) {
    std::uint8_t bytes[2];
    PutWord16(bytes, value);
    return WriteTables(offset, bytes, 2);
}

int JobStore::ClusterOwner(int cluster) const {
    return tables_[kClusterTableOffset + cluster * 2];
}

int JobStore::ClusterCount(int cluster) const {
    return tables_[kClusterTableOffset + cluster * 2 + 1];
}

const std::uint8_t* JobStore::SlotMap(int cluster) const {
    return &tables_[kSlotMapsOffset + cluster * 8];
}

int JobStore::UsedSlots(int cluster) const {
    int used = 0;
    for (int block = 0; block < 8; ++block)
        used += 6 - static_cast<int>(std::bitset<8>(SlotMap(cluster)[block] & kSlotBits).count());
    return used;
}

std::optional<JobStore::Slot> JobStore::FindSlot(int cluster, bool used, int nth) const {
    for (int block = 0; block < 8; ++block) {
        for (int slot = 0; slot < 6; ++slot) {
            const bool free = (SlotMap(cluster)[block] >> slot & 1) != 0;
            if (free != used && nth-- == 0)
                return Slot{block, slot};
        }
    }
    return std::nullopt;
}

std::string JobStore::CheckJob(int job) const {
    const std::string damaged = "The job store is damaged: ";
    int held = 0;
    for (int cluster = 0; cluster < layout_->Clusters(); ++cluster) {
        if (ClusterOwner(cluster) != job + 1)
            continue;
        const int count = ClusterCount(cluster);
        if (count > kRecordsPerCluster)
            return damaged + "cluster " + std::to_string(cluster) + " of " + JobLabel(job) +
                   " counts " + std::to_string(count) + " records; a cluster holds 48.";
        if (UsedSlots(cluster) != count)
            return ClusterDamage(cluster);
        held += count;
    }
    if (held != JobRecordCount(job))
        return damaged + JobLabel(job) + " counts " + std::to_string(JobRecordCount(job)) +
               " records, its clusters hold " + std::to_string(held) + ".";
    return std::string();
}

std::string JobStore::ClusterDamage(int cluster) const {
    return "The job store is damaged: cluster " + std::to_string(cluster) + " counts " +
           std::to_string(ClusterCount(cluster)) + " records, its slot map marks " +
           std::to_string(UsedSlots(cluster)) + ".";
}

std::string JobStore::JobLabel(int job) const {
    return job == KnownCoordinatesJob() ? "the known-coordinates list"
                                        : "job " + std::to_string(job);
}

std::optional<int> JobStore::ClusterForNewRecord(int job) const {
    std::optional<int> free;
    for (int cluster = 0; cluster < layout_->Clusters(); ++cluster) {
        if (ClusterOwner(cluster) == job + 1 && ClusterCount(cluster) < kRecordsPerCluster)
            return cluster;
        if (!free && ClusterOwner(cluster) == kFreeCluster)
            free = cluster;
    }
    return free;
}

CardStatus JobStore::Fail(const std::string& text, bool whileWriting) {
    problem_ = {text, whileWriting};
    return CardStatus::Failure;
}

bool JobStore::Refuse(const std::string& text) {
    problem_ = {text, false};
    return false;
}

StoreOpening OpenCardJobStore(JobStore& store, const std::string& path, CardAccess access) {
    if (!store.OpenJobStore(path, access))
        return StoreOpening::CannotOpen;
    if (!store.DetectJobStore() || !store.LoadJobStoreTables())
        return StoreOpening::NotUsable;
    return StoreOpening::Opened;
}

} // namespace stadix
