#include "sdcard/RecordFile.h"

#include "base/Errors.h"
#include "base/FileIO.h"

#include <bitset>
#include <cstring>

namespace stadix {

using namespace recordfile;

namespace {

constexpr std::uint8_t kLeadingBytes[8] = {0x66, 0xAA, 0x00, 0x02, 0x00, 0x02, 0x00, 0x06};

// The bytes of a new, empty record file of the kind.
std::string EmptyRecordFile(std::uint8_t kind) {
    std::string bytes(kFileSize, '\xFF');
    std::memcpy(&bytes[0], kLeadingBytes, sizeof kLeadingBytes);
    bytes[kKindOffset] = static_cast<char>(kind);
    std::memset(&bytes[kKindOffset + 1], 0, 3);
    std::memset(&bytes[kSlotMapOffset], 0, kSlotMapSize);
    return bytes;
}

int UsedSlots(const std::array<std::uint8_t, kSlotMapSize>& map) {
    int used = 0;
    for (std::uint8_t byte : map)
        used += static_cast<int>(std::bitset<8>(byte).count());
    return used;
}

} // namespace

RecordFile::~RecordFile() {
    CloseRecordFile();
}

CardStatus RecordFile::CreateRecordFile(const std::string& path, std::uint8_t kind, bool keepOpen) {
    if (file_.IsOpen())
        return Fail("A record file is already open.");
    try {
        WriteFileAtomically(path, EmptyRecordFile(kind));
    } catch (const FileError& failure) {
        return Fail(failure.what(), true);
    }
    return keepOpen ? OpenRecordFile(path, CardAccess::ReadWrite) : CardStatus::Success;
}

CardStatus RecordFile::OpenRecordFile(const std::string& path, CardAccess access) {
    CloseRecordFile();
    problem_ = {};
    if (!file_.Open(path, access))
        return Fail(file_.Problem().text, file_.Problem().whileWriting);
    const std::string refusal = ReadHeader(path);
    if (!refusal.empty()) {
        file_.Close();
        count_ = 0;
        return Fail(refusal);
    }
    RewindRecordFile();
    return CardStatus::Success;
}

std::string RecordFile::ReadHeader(const std::string& path) {
    std::uint8_t magic[2] = {};
    if (!file_.ReadAt(0, magic, sizeof magic) || (magic[0] | magic[1] << 8) != kMagic)
        return "The file \"" + path + "\" is not a record file: it does not begin with 66 AA.";
    if (file_.Size() < kFileSize)
        return "The record file \"" + path + "\" is " + std::to_string(file_.Size()) +
               " bytes long; a record file has " + std::to_string(kFileSize) + " bytes.";
    if (!file_.ReadAt(kKindOffset, header_.data(), header_.size()) ||
        !file_.ReadAt(kSlotMapOffset, slotMap_.data(), slotMap_.size()))
        return file_.Problem().text;
    count_ = header_[2] | header_[3] << 8;
    const int used = UsedSlots(slotMap_);
    if (used != count_)
        return "The record file \"" + path + "\" is damaged: its header counts " +
               std::to_string(count_) + " records, its slot map marks " + std::to_string(used) +
               ".";
    return std::string();
}

CardStatus RecordFile::ReadNextRecord(RawRecord& record) {
    if (AtEndOfRecords())
        return Fail("There is no record left to read.");
    if (!file_.ReadAt(SlotOffset(*current_), record.data(), record.size()))
        return Fail(file_.Problem().text);
    current_ = NextUsedSlot(*current_ + 1);
    return CardStatus::Success;
}

void RecordFile::RewindRecordFile() {
    current_ = file_.IsOpen() ? NextUsedSlot(0) : std::nullopt;
}

CardStatus RecordFile::AppendRecord(const RawRecord& record) {
    if (!file_.IsOpen())
        return Fail("No record file is open.");
    if (count_ >= kSlots)
        return CardStatus::FileFull;
    std::optional<int> slot = current_ ? FreeSlotFrom(*current_ + 1) : std::nullopt;
    if (!slot)
        slot = FreeSlotFrom(0);
    if (!slot)
        return Fail("The record file has no free slot.");
    if (!file_.WriteAt(SlotOffset(*slot), record.data(), record.size()))
        return Fail(file_.Problem().text, file_.Problem().whileWriting);
    slotMap_[*slot / 8] |= static_cast<std::uint8_t>(1u << (*slot % 8));
    ++count_;
    header_[2] = static_cast<std::uint8_t>(count_ & 0xFF);
    header_[3] = static_cast<std::uint8_t>(count_ >> 8);
    current_ = slot;
    headerChanged_ = true;
    return CardStatus::Success;
}

CardStatus RecordFile::CloseRecordFile() {
    if (!file_.IsOpen())
        return CardStatus::Success;
    const bool written =
        !headerChanged_ || (file_.WriteAt(kSlotMapOffset, slotMap_.data(), slotMap_.size()) &&
                            file_.WriteAt(kKindOffset, header_.data(), header_.size()));
    headerChanged_ = false;
    current_.reset();
    const bool closed = file_.Close();
    if (!written || !closed)
        return Fail(file_.Problem().text, true);
    return CardStatus::Success;
}

bool RecordFile::SlotUsed(int slot) const {
    return (slotMap_[slot / 8] >> (slot % 8) & 1) != 0;
}

std::optional<int> RecordFile::NextUsedSlot(int from) const {
    for (int slot = from; slot < kSlots; ++slot) {
        if (SlotUsed(slot))
            return slot;
    }
    return std::nullopt;
}

std::optional<int> RecordFile::FreeSlotFrom(int from) const {
    for (int slot = from; slot < kSlots; ++slot) {
        if (!SlotUsed(slot))
            return slot;
    }
    return std::nullopt;
}

CardStatus RecordFile::Fail(const std::string& text, bool whileWriting) {
    problem_ = {text, whileWriting};
    return CardStatus::Failure;
}

} // namespace stadix
