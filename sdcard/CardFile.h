// Files of the instrument's card, read and changed in place at fixed offsets. The card
// formats require changes in place; a card file is never grown beyond the size it had
// when it was opened, since its size is the instrument's, not ours.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace stadix {

enum class CardAccess { ReadOnly, ReadWrite };

// What an operation on a card file reports: FileFull for a record file with 3072
// records, JobFull for a job with 3072 records, StoreFull when a job store has no room.
enum class CardStatus { Success, FileFull, JobFull, StoreFull, Failure };

// Why the last operation failed, for the user.
struct CardProblem {
    std::string text;
    // The file could not be opened for writing or a write failed; otherwise the file's
    // content was refused and nothing was written.
    bool whileWriting = false;
};

// A card file that cannot be read as its format says; what() is the reason.
class CardError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

// One open card file with reads and writes at byte offsets.
class CardFile {
  public:
    CardFile() = default;
    ~CardFile();
    CardFile(const CardFile&) = delete;
    CardFile& operator=(const CardFile&) = delete;

    // Refuses what is no regular file (a folder, a pipe, a device), with the reason.
    bool Open(const std::string& path, CardAccess access);
    bool IsOpen() const { return handle_ >= 0; }
    // The size at opening; writes never go beyond it.
    std::uint64_t Size() const { return size_; }

    // Reads exactly size bytes; false when they do not all lie inside the file.
    bool ReadAt(std::uint64_t offset, void* buffer, std::size_t size);
    // Writes through to the file (no flush to the device); false beyond the end.
    bool WriteAt(std::uint64_t offset, const void* data, std::size_t size);
    // Flushes what was written to the device and closes; false when that failed.
    bool Close();

    const CardProblem& Problem() const { return problem_; }

  private:
    bool Fail(const std::string& text, bool whileWriting);

    int handle_ = -1;
    std::uint64_t size_ = 0;
    bool written_ = false;
    std::string path_;
    CardProblem problem_;
};

// A file exists for the card exchange when it can be opened for reading. A folder, a
// pipe or a device of that name throws CardError with the reason: it is no card file, to
// be neither written nor replaced.
bool CardFileExists(const std::string& path);

} // namespace stadix
