// Card files built in memory for the tests and benchmarks: record files and job stores
// with records put into chosen slots, as the instrument leaves them.
#pragma once

#include "sdcard/JobStore.h"
#include "sdcard/RecordFile.h"

#include <cstring>
#include <string>
#include <utility>

namespace stadix::test {

// A record file: the empty file as created, then records put into chosen slots.
class RecordFileImage {
  public:
    RecordFileImage() : bytes_(recordfile::kFileSize, '\xFF') {
        bytes_.replace(0, 8, std::string("\x66\xAA\x00\x02\x00\x02\x00\x06", 8));
        bytes_.replace(32, 4, std::string(4, '\0'));
        bytes_.replace(128, 384, std::string(384, '\0'));
    }
    // A file as it stands, to change.
    explicit RecordFileImage(std::string bytes) : bytes_(std::move(bytes)) {}

    RecordFileImage& Put(int slot, const RawRecord& record) {
        std::memcpy(&bytes_[recordfile::SlotOffset(slot)], record.data(), record.size());
        bytes_[128 + slot / 8] = static_cast<char>(bytes_[128 + slot / 8] | 1 << slot % 8);
        return Count(Count() + 1);
    }
    // The header's count, as it stands or set apart from the slot map.
    int Count() const {
        return static_cast<unsigned char>(bytes_[34]) | static_cast<unsigned char>(bytes_[35]) << 8;
    }
    RecordFileImage& Count(int count) {
        bytes_[34] = static_cast<char>(count);
        bytes_[35] = static_cast<char>(count >> 8);
        return *this;
    }
    const std::string& Bytes() const { return bytes_; }

  private:
    std::string bytes_;
};

// A job store of one kind: formatted and empty (every cluster and slot free, the
// free-record counter at the capacity), then jobs and records put where a test wants
// them.
class JobStoreImage {
  public:
    explicit JobStoreImage(const JobStoreLayout& layout)
        : layout_(layout), bytes_(layout.FileSize(), '\xFF') {
        Word16(layout.MagicOffset(), layout.magic);
        bytes_[layout.CurrentJobOffset()] = '\0';
        Word16(layout.FreeCounterOffset(), layout.Capacity());
        Word16(layout.KnownCountOffset(), 0);
        for (int cluster = 0; cluster < layout.Clusters(); ++cluster)
            bytes_[jobstore::kClusterTableOffset + cluster * 2 + 1] = '\0';
    }

    // Appends the job to the directory with its name and no records.
    JobStoreImage& AddJob(int job, const std::string& name) {
        std::size_t position = jobstore::kDirectoryOffset;
        while (static_cast<unsigned char>(bytes_[position]) < layout_.jobs)
            ++position;
        bytes_[position] = static_cast<char>(job);
        const std::uint64_t entry = layout_.EntryOffset(job);
        bytes_.replace(entry, layout_.entrySize, std::string(layout_.entrySize, '\0'));
        bytes_.replace(entry, name.size(), name);
        return *this;
    }

    // Puts a record of the job into a slot, with every count and map that tells of it.
    JobStoreImage& Put(int job, int cluster, int block, int slot, const RawRecord& record) {
        const std::uint64_t offset = jobstore::RecordOffset(cluster, block, slot);
        std::memcpy(&bytes_[offset], record.data(), record.size());
        const std::uint64_t map = jobstore::kSlotMapsOffset + cluster * 8 + block;
        bytes_[map] = static_cast<char>(bytes_[map] & ~(1 << slot));
        const std::uint64_t entry = jobstore::kClusterTableOffset + cluster * 2;
        bytes_[entry] = static_cast<char>(job + 1);
        bytes_[entry + 1] = static_cast<char>(bytes_[entry + 1] + 1);
        Word16(CountOffset(job), JobCount(job) + 1);
        Word16(layout_.FreeCounterOffset(), Word16(layout_.FreeCounterOffset()) - 1);
        return *this;
    }

    // Fills the job's records into the slots in order from a cluster on.
    JobStoreImage& Fill(int job, int firstCluster, int count, const RawRecord& record) {
        for (int i = 0; i < count; ++i)
            Put(job, firstCluster + i / 48, i % 48 / 6, i % 6, record);
        return *this;
    }

    JobStoreImage& Byte(std::uint64_t offset, std::uint8_t value) {
        bytes_[offset] = static_cast<char>(value);
        return *this;
    }
    JobStoreImage& Word16(std::uint64_t offset, int value) {
        bytes_[offset + (layout_.bigEndian ? 1 : 0)] = static_cast<char>(value);
        bytes_[offset + (layout_.bigEndian ? 0 : 1)] = static_cast<char>(value >> 8);
        return *this;
    }
    int Word16(std::uint64_t offset) const {
        const int first = static_cast<unsigned char>(bytes_[offset]);
        const int second = static_cast<unsigned char>(bytes_[offset + 1]);
        return layout_.bigEndian ? first << 8 | second : second << 8 | first;
    }
    std::uint64_t CountOffset(int job) const {
        return job == layout_.jobs ? layout_.KnownCountOffset()
                                   : layout_.EntryOffset(job) + jobstore::kEntryCount;
    }
    int JobCount(int job) const { return Word16(CountOffset(job)); }
    const std::string& Bytes() const { return bytes_; }

  private:
    JobStoreLayout layout_;
    std::string bytes_;
};

} // namespace stadix::test
