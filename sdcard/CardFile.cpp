#include "sdcard/CardFile.h"

#include "base/FileIO.h"

#include <cerrno>
#include <cstring>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace stadix {

namespace {

enum class FileType { Regular, Directory, Other };

struct HandleStatus {
    std::uint64_t size = 0;
    FileType type = FileType::Other;
};

#ifdef _WIN32
int OpenHandle(const std::string& path, CardAccess access) {
    return ::_open(path.c_str(),
                   _O_BINARY | (access == CardAccess::ReadOnly ? _O_RDONLY : _O_RDWR));
}

bool ReadHandleStatus(int handle, HandleStatus& status) {
    struct _stat64 info {};
    if (::_fstat64(handle, &info) != 0)
        return false;
    status.size = static_cast<std::uint64_t>(info.st_size);
    const int type = info.st_mode & _S_IFMT;
    status.type = type == _S_IFREG   ? FileType::Regular
                  : type == _S_IFDIR ? FileType::Directory
                                     : FileType::Other;
    return true;
}

long long ReadSome(int handle, std::uint64_t offset, char* buffer, std::size_t size) {
    if (::_lseeki64(handle, static_cast<long long>(offset), SEEK_SET) < 0)
        return -1;
    return ::_read(handle, buffer, static_cast<unsigned>(size));
}

long long WriteSome(int handle, std::uint64_t offset, const char* data, std::size_t size) {
    if (::_lseeki64(handle, static_cast<long long>(offset), SEEK_SET) < 0)
        return -1;
    return ::_write(handle, data, static_cast<unsigned>(size));
}

bool SyncHandle(int handle) {
    return ::_commit(handle) == 0;
}

bool CloseHandle(int handle) {
    return ::_close(handle) == 0;
}
#else
// Without blocking, so that a named pipe with no writer opens at once (and is then
// refused); regular files ignore the flag.
int OpenHandle(const std::string& path, CardAccess access) {
    return ::open(path.c_str(), (access == CardAccess::ReadOnly ? O_RDONLY : O_RDWR) | O_CLOEXEC |
                                    O_NOCTTY | O_NONBLOCK);
}

bool ReadHandleStatus(int handle, HandleStatus& status) {
    struct stat info {};
    if (::fstat(handle, &info) != 0)
        return false;
    status.size = static_cast<std::uint64_t>(info.st_size);
    status.type = S_ISREG(info.st_mode)   ? FileType::Regular
                  : S_ISDIR(info.st_mode) ? FileType::Directory
                                          : FileType::Other;
    return true;
}

long long ReadSome(int handle, std::uint64_t offset, char* buffer, std::size_t size) {
    return ::pread(handle, buffer, size, static_cast<off_t>(offset));
}

long long WriteSome(int handle, std::uint64_t offset, const char* data, std::size_t size) {
    return ::pwrite(handle, data, size, static_cast<off_t>(offset));
}

bool SyncHandle(int handle) {
    return ::fsync(handle) == 0;
}

bool CloseHandle(int handle) {
    return ::close(handle) == 0;
}
#endif

// Moves all size bytes from offset on with step(offset, done, remaining), which moves
// some and says how many; goes on after short transfers and interruptions.
template <typename Step> bool TransferAll(std::uint64_t offset, std::size_t size, Step step) {
    std::size_t done = 0;
    while (done < size) {
        const long long n = step(offset + done, done, size - done);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool IsWriteRefusal(int error) {
    return error == EACCES || error == EPERM || error == EROFS;
}

// Why a path that names a folder, a pipe or a device is no card file.
std::string NotAFileText(const std::string& path, FileType type) {
    return "Cannot open file \"" + path + "\". " + NotAFileReason(type == FileType::Directory);
}

} // namespace

CardFile::~CardFile() {
    Close();
}

bool CardFile::Open(const std::string& path, CardAccess access) {
    Close();
    problem_ = {};
    path_ = path;
    const int handle = OpenHandle(path, access);
    if (handle < 0 && errno == EISDIR)
        return Fail(NotAFileText(path, FileType::Directory), false);
    if (handle < 0) {
        const bool refused = access == CardAccess::ReadWrite && IsWriteRefusal(errno);
        return Fail("Cannot open file \"" + path + "\". " + std::strerror(errno), refused);
    }
    HandleStatus status;
    if (!ReadHandleStatus(handle, status)) {
        const std::string reason = std::strerror(errno);
        CloseHandle(handle);
        return Fail("Cannot read file \"" + path + "\". " + reason, false);
    }
    if (status.type != FileType::Regular) {
        CloseHandle(handle);
        return Fail(NotAFileText(path, status.type), false);
    }
    handle_ = handle;
    size_ = status.size;
    written_ = false;
    return true;
}

bool CardFile::ReadAt(std::uint64_t offset, void* buffer, std::size_t size) {
    if (!IsOpen())
        return Fail("No card file is open.", false);
    if (offset > size_ || size > size_ - offset)
        return Fail("The file \"" + path_ + "\" ends at byte " + std::to_string(size_) +
                        ", before byte " + std::to_string(offset + size) + ".",
                    false);
    char* bytes = static_cast<char*>(buffer);
    const auto step = [&](std::uint64_t at, std::size_t done, std::size_t remaining) {
        return ReadSome(handle_, at, bytes + done, remaining);
    };
    if (!TransferAll(offset, size, step))
        return Fail("Cannot read file \"" + path_ + "\". " + std::strerror(errno), false);
    return true;
}

bool CardFile::WriteAt(std::uint64_t offset, const void* data, std::size_t size) {
    if (!IsOpen())
        return Fail("No card file is open.", true);
    if (offset > size_ || size > size_ - offset)
        return Fail("The file \"" + path_ + "\" ends at byte " + std::to_string(size_) +
                        "; nothing is written beyond its end.",
                    false);
    written_ = true;
    const char* bytes = static_cast<const char*>(data);
    const auto step = [&](std::uint64_t at, std::size_t done, std::size_t remaining) {
        return WriteSome(handle_, at, bytes + done, remaining);
    };
    if (!TransferAll(offset, size, step))
        return Fail("Cannot write file \"" + path_ + "\". " + std::strerror(errno), true);
    return true;
}

bool CardFile::Close() {
    if (!IsOpen())
        return true;
    const bool synced = !written_ || SyncHandle(handle_);
    const int syncError = errno;
    const bool closed = CloseHandle(handle_);
    handle_ = -1;
    if (synced && closed)
        return true;
    return Fail("Cannot write file \"" + path_ + "\". " + std::strerror(synced ? errno : syncError),
                true);
}

bool CardFile::Fail(const std::string& text, bool whileWriting) {
    problem_ = {text, whileWriting};
    return false;
}

bool CardFileExists(const std::string& path) {
    const int handle = OpenHandle(path, CardAccess::ReadOnly);
    if (handle < 0)
        return false;
    HandleStatus status;
    const bool known = ReadHandleStatus(handle, status);
    CloseHandle(handle);
    if (known && status.type != FileType::Regular)
        throw CardError(NotAFileText(path, status.type));
    return true;
}

} // namespace stadix
