// A record file with arbitrary header, count and slot map bytes, and cut to an arbitrary
// length: read to its end, then appended to. A file that opens yields as many records as
// it counts, and appending never grows it nor leaves its count and slot map apart.
#include "fuzz/CardFuzzFile.h"
#include "sdcard/RecordFile.h"

#include <algorithm>
#include <iterator>

namespace {

std::string SoundRecordFile() {
    stadix::RecordFile file;
    const std::string path = fuzz::WriteCardFile("", "base.TSR");
    file.CreateRecordFile(path, 0, true);
    stadix::RawRecord record{};
    for (int n = 0; n < 20; ++n) {
        record[0] = static_cast<std::uint8_t>(n % 7);
        file.AppendRecord(record);
    }
    file.CloseRecordFile();
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

int ReadAll(stadix::RecordFile& file) {
    stadix::RawRecord record;
    int read = 0;
    while (!file.AtEndOfRecords()) {
        if (file.ReadNextRecord(record) != stadix::CardStatus::Success)
            __builtin_trap();
        ++read;
    }
    return read;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const std::string sound = SoundRecordFile();
    if (size < 2)
        return 0;
    // The first two bytes cut the file short, or not when they are above its size.
    std::string bytes = fuzz::Patched(sound, 512, data + 2, size - 2);
    bytes.resize(std::min<std::size_t>(bytes.size(), (data[0] << 8 | data[1]) * 3));
    const std::string path = fuzz::WriteCardFile(bytes, "DATA.TSR");

    stadix::RecordFile file;
    if (file.OpenRecordFile(path, stadix::CardAccess::ReadOnly) != stadix::CardStatus::Success)
        return 0;
    const int count = file.RecordFileCount();
    if (ReadAll(file) != count)
        __builtin_trap();

    file.OpenRecordFile(path, stadix::CardAccess::ReadWrite);
    for (int n = 0; n < 3; ++n)
        file.AppendRecord(stadix::RawRecord{});
    file.CloseRecordFile();
    if (fuzz::FileSize(path) != bytes.size() ||
        file.OpenRecordFile(path, stadix::CardAccess::ReadOnly) != stadix::CardStatus::Success ||
        file.RecordFileCount() != std::min(count + 3, 3072))
        __builtin_trap();
    return 0;
}
