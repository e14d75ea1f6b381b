// Record files (".TSR") of the instrument's card: 3072 slots of raw records behind a
// header and a slot map, 131584 bytes in all, every number little-endian.
#pragma once

#include "rawconv/RawRecords.h"
#include "sdcard/CardFile.h"

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace stadix {

namespace recordfile {
constexpr std::uint64_t kFileSize = 131584; // 514 blocks of 256 bytes
constexpr int kSlots = 3072;
constexpr std::uint64_t kKindOffset = 32; // kind, reserved, count (16 bits)
constexpr std::uint64_t kCountOffset = 34;
constexpr std::uint64_t kSlotMapOffset = 128;
constexpr std::size_t kSlotMapSize = 384;
constexpr std::uint16_t kMagic = 0xAA66;

// Six records to a block of 256 bytes, from block 2 on.
constexpr std::uint64_t SlotOffset(int slot) {
    return (static_cast<std::uint64_t>(slot) / 6 + 2) * 256 + (slot % 6) * kRawRecordSize;
}
} // namespace recordfile

// One open record file. Its records, in order, are the used slots in ascending slot
// number. Appended records are written at once; the slot map and the count reach the
// file when it is closed.
class RecordFile {
  public:
    RecordFile() = default;
    ~RecordFile();
    RecordFile(const RecordFile&) = delete;
    RecordFile& operator=(const RecordFile&) = delete;

    // Creates an empty record file, replacing any file of that name, whole or not at
    // all; kept open for reading and writing when keepOpen. Fails while a file is open.
    CardStatus CreateRecordFile(const std::string& path, std::uint8_t kind, bool keepOpen);
    // Opens a record file at its first record, closing any open one. Refuses a file
    // without the magic, one shorter than a record file, and one whose count disagrees
    // with its slot map.
    CardStatus OpenRecordFile(const std::string& path, CardAccess access);
    // The record at the current slot; then the next used slot becomes current.
    CardStatus ReadNextRecord(RawRecord& record);
    // True when no file is open or there is no current slot.
    bool AtEndOfRecords() const { return !file_.IsOpen() || !current_; }
    int RecordFileCount() const { return count_; }
    void RewindRecordFile();
    // Stores the record in the first free slot after the current one (else the first
    // free slot) and makes it current. FileFull when the file holds 3072 records.
    CardStatus AppendRecord(const RawRecord& record);
    // Writes the slot map and the count back when records were appended, and closes.
    CardStatus CloseRecordFile();

    // Why the last operation failed.
    const CardProblem& Problem() const { return problem_; }

  private:
    // Reads the header and the slot map: why the file is refused, or empty.
    std::string ReadHeader(const std::string& path);
    bool SlotUsed(int slot) const;
    std::optional<int> NextUsedSlot(int from) const;
    std::optional<int> FreeSlotFrom(int from) const;
    CardStatus Fail(const std::string& text, bool whileWriting = false);

    CardFile file_;
    // Bytes 32 to 35: kind, reserved and the count, written back as they were read.
    std::array<std::uint8_t, 4> header_{};
    std::array<std::uint8_t, recordfile::kSlotMapSize> slotMap_{};
    int count_ = 0;
    std::optional<int> current_;
    bool headerChanged_ = false;
    CardProblem problem_;
};

} // namespace stadix
