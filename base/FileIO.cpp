#include "base/FileIO.h"

#include "base/Errors.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <filesystem>
#include <limits>
#include <sys/stat.h>

#ifdef _WIN32
#include <io.h>
#else
#include <unistd.h>
#endif

namespace stadix {

namespace {

#ifdef _WIN32
constexpr int kReadFlags = _O_RDONLY | _O_BINARY;
constexpr int kDirectWriteFlags = _O_WRONLY | _O_BINARY;
int OpenFile(const char* path, int flags) {
    return ::_open(path, flags);
}
long long ReadSome(int fd, char* buffer, std::size_t size) {
    return ::_read(fd, buffer, static_cast<unsigned>(size));
}
long long WriteSome(int fd, const char* data, std::size_t size) {
    return ::_write(fd, data, static_cast<unsigned>(size));
}
int CloseFile(int fd) {
    return ::_close(fd);
}
int SyncFile(int fd) {
    return ::_commit(fd);
}
void RemoveFileNow(const char* path) {
    ::_unlink(path);
}
int MakeTemporaryFile(std::string& pattern) {
    if (::_mktemp_s(pattern.data(), pattern.size() + 1) != 0)
        return -1;
    return ::_open(pattern.c_str(), _O_WRONLY | _O_BINARY | _O_CREAT | _O_EXCL, 0644);
}
bool IsRegular(unsigned mode) {
    return (mode & _S_IFMT) == _S_IFREG;
}
bool IsFolder(unsigned mode) {
    return (mode & _S_IFMT) == _S_IFDIR;
}
bool TakesBytesDirectly(unsigned mode) {
    return (mode & _S_IFMT) == _S_IFCHR;
}
#else
// Non-blocking, so that opening a pipe with no writer does not hang before it is refused.
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
constexpr int kDirectWriteFlags = O_WRONLY | O_CLOEXEC;
int OpenFile(const char* path, int flags) {
    return ::open(path, flags);
}
long long ReadSome(int fd, char* buffer, std::size_t size) {
    return ::read(fd, buffer, size);
}
long long WriteSome(int fd, const char* data, std::size_t size) {
    return ::write(fd, data, size);
}
int CloseFile(int fd) {
    return ::close(fd);
}
int SyncFile(int fd) {
    return ::fsync(fd);
}
void RemoveFileNow(const char* path) {
    ::unlink(path);
}
// The pattern's last six characters are chosen afresh until no file has the name. The
// file is made as any new file is, with the umask's mode, not mkstemp's private one.
int MakeTemporaryFile(std::string& pattern) {
    static std::atomic<unsigned long> sequence{0};
    const std::size_t start = pattern.size() - 6;
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned long n = sequence++ * 2654435761UL ^ static_cast<unsigned long>(::getpid()) ^
                          static_cast<unsigned long>(::time(nullptr));
        for (std::size_t i = start; i < pattern.size(); ++i, n /= 36)
            pattern[i] = "0123456789abcdefghijklmnopqrstuvwxyz"[n % 36];
        const int fd = ::open(pattern.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0 || errno != EEXIST)
            return fd;
    }
    return -1;
}
bool IsRegular(unsigned mode) {
    return S_ISREG(mode);
}
bool IsFolder(unsigned mode) {
    return S_ISDIR(mode);
}
bool TakesBytesDirectly(unsigned mode) {
    return S_ISFIFO(mode) || S_ISCHR(mode);
}
#endif

std::string SystemReason() {
    return std::strerror(errno);
}

std::string CannotOpen(const std::string& path) {
    return "Cannot open file \"" + path + "\". ";
}

std::string CannotRead(const std::string& path) {
    return "Cannot read file \"" + path + "\". ";
}

// Why a file of this kind cannot be read or written as a file; empty for a regular one.
std::string ReasonNotAFile(unsigned mode) {
    return IsRegular(mode) ? std::string() : NotAFileReason(IsFolder(mode));
}

// A regular file opened for reading. Throws FileError with the reason.
int OpenForReading(const std::string& path) {
    const int fd = OpenFile(path.c_str(), kReadFlags);
    if (fd < 0)
        throw FileError(CannotOpen(path) + SystemReason());
    struct stat info {};
    if (::fstat(fd, &info) != 0) {
        const std::string reason = SystemReason();
        CloseFile(fd);
        throw FileError(CannotRead(path) + reason);
    }
    const std::string refusal = ReasonNotAFile(info.st_mode);
    if (!refusal.empty()) {
        CloseFile(fd);
        throw FileError(CannotOpen(path) + refusal);
    }
    return fd;
}

// Reads up to size bytes; 0 at the end of the file. Throws FileError.
std::size_t ReadPiece(int fd, const std::string& path, char* buffer, std::size_t size) {
    for (;;) {
        const long long n = ReadSome(fd, buffer, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR)
            throw FileError(CannotRead(path) + SystemReason());
    }
}

// Writes all bytes; false with errno set when a write fails.
bool WriteAll(int fd, std::string_view bytes) {
    std::size_t written = 0;
    while (written < bytes.size()) {
        const long long n = WriteSome(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        written += static_cast<std::size_t>(n);
    }
    return true;
}

// The temporary files of writes in progress, for RemoveTemporaryFilesInProgress. A
// fixed table of atomic pointers, so that a signal handler may read it at any moment.
constexpr std::size_t kTrackedTemporaryFiles = 16;
std::atomic<const char*> temporaryFiles[kTrackedTemporaryFiles];

void TrackTemporaryFile(const char* path) {
    for (auto& slot : temporaryFiles) {
        const char* empty = nullptr;
        if (slot.compare_exchange_strong(empty, path))
            return;
    }
}

void ForgetTemporaryFile(const char* path) {
    for (auto& slot : temporaryFiles) {
        const char* tracked = path;
        if (slot.compare_exchange_strong(tracked, nullptr))
            return;
    }
}

// The position of the first CR or LF from start; npos when there is none.
std::size_t FindLineEnd(const std::string& text, std::size_t start) {
    // Searched in windows that grow, so that a text with one kind of line end only is not
    // searched to its end for the other at every line.
    for (std::size_t window = 256; start < text.size(); window *= 2) {
        const std::size_t length = std::min(window, text.size() - start);
        const char* begin = text.data() + start;
        const auto* newline = static_cast<const char*>(std::memchr(begin, '\n', length));
        const auto* carriageReturn = static_cast<const char*>(
            std::memchr(begin, '\r', newline ? static_cast<std::size_t>(newline - begin) : length));
        if (carriageReturn || newline)
            return static_cast<std::size_t>((carriageReturn ? carriageReturn : newline) -
                                            text.data());
        start += length;
    }
    return std::string::npos;
}

// The file that a write to path replaces: symbolic links are followed to their target,
// which need not exist yet.
std::string FollowLinks(const std::string& path) {
    namespace fs = std::filesystem;
    fs::path file(path);
    std::error_code ec;
    for (int hops = 0; hops < 40 && fs::is_symlink(file, ec); ++hops) {
        const fs::path target = fs::read_symlink(file, ec);
        if (ec)
            break;
        file = target.is_absolute() ? target : file.parent_path() / target;
    }
    return file.string();
}

} // namespace

FileSync syncWrittenFile = SyncFile;

std::string ReadFileBytes(const std::string& path) {
    const struct Closed {
        int fd;
        ~Closed() { CloseFile(fd); }
    } file{OpenForReading(path)};
    std::string bytes;
    char piece[1 << 16];
    while (const std::size_t n = ReadPiece(file.fd, path, piece, sizeof piece))
        bytes.append(piece, n);
    return bytes;
}

std::vector<std::string> SplitLines(std::string_view bytes) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    std::size_t i = 0;
    while (i < bytes.size()) {
        const char c = bytes[i];
        if (c == '\r' || c == '\n') {
            lines.emplace_back(bytes.substr(start, i - start));
            i += (c == '\r' && i + 1 < bytes.size() && bytes[i + 1] == '\n') ? 2 : 1;
            start = i;
        } else {
            ++i;
        }
    }
    if (start < bytes.size())
        lines.emplace_back(bytes.substr(start));
    return lines;
}

std::vector<std::string> ReadFileLines(const std::string& path) {
    return ReadFirstLines(path, std::numeric_limits<std::size_t>::max()).lines;
}

FileHead ReadFirstLines(const std::string& path, std::size_t keep) {
    FileLineReader reader(path);
    FileHead head;
    for (std::string line; head.lines.size() < keep && reader.Next(line);)
        head.lines.push_back(std::move(line));
    head.fileLines = head.lines.size() + reader.CountRemainingLines();
    return head;
}

FileLineReader::FileLineReader(const std::string& path) : path_(path), fd_(OpenForReading(path)) {}

FileLineReader::~FileLineReader() {
    CloseFile(fd_);
}

bool FileLineReader::Fill() {
    constexpr std::size_t kPiece = 1 << 16;
    buffer_.erase(0, position_);
    position_ = 0;
    const std::size_t kept = buffer_.size();
    buffer_.resize(kept + kPiece);
    const std::size_t n = ReadPiece(fd_, path_, &buffer_[kept], kPiece);
    buffer_.resize(kept + n);
    return n > 0;
}

bool FileLineReader::Next(std::string_view& line) {
    std::size_t scanned = position_;
    for (;;) {
        std::size_t end = FindLineEnd(buffer_, scanned);
        if (end == std::string::npos) {
            const std::size_t offset = buffer_.size() - position_;
            if (Fill()) {
                scanned = offset;
                continue;
            }
            if (position_ == buffer_.size())
                return false;
            // A last line without a line end.
            line = std::string_view(buffer_).substr(position_);
            position_ = buffer_.size();
            return true;
        }
        // A CR that ends the piece read may be the first half of CR LF.
        if (buffer_[end] == '\r' && end + 1 == buffer_.size()) {
            const std::size_t offset = end - position_;
            const bool more = Fill();
            end = offset;
            scanned = offset;
            if (more)
                continue;
        }
        line = std::string_view(buffer_).substr(position_, end - position_);
        position_ = end + 1;
        if (buffer_[end] == '\r' && position_ < buffer_.size() && buffer_[position_] == '\n')
            ++position_;
        return true;
    }
}

bool FileLineReader::Next(std::string& line) {
    std::string_view view;
    if (!Next(view))
        return false;
    line.assign(view);
    return true;
}

std::size_t FileLineReader::CountRemainingLines() {
    std::size_t count = 0;
    for (std::string line; Next(line);)
        ++count;
    return count;
}

AtomicFileWriter::AtomicFileWriter(const std::string& path)
    : target_(FollowLinks(path)), failure_("Cannot create file \"" + path + "\". ") {
    namespace fs = std::filesystem;
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) == 0 && !IsRegular(existing.st_mode)) {
        direct_ = TakesBytesDirectly(existing.st_mode);
        if (!direct_)
            throw FileError(failure_ + ReasonNotAFile(existing.st_mode));
        return;
    }
    const fs::path target(target_);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    temp_ = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    // Tracked before it exists, so that a signal that comes as it is made still finds it.
    TrackTemporaryFile(temp_.c_str());
    fd_ = MakeTemporaryFile(temp_);
    if (fd_ < 0) {
        const std::string reason = SystemReason();
        ForgetTemporaryFile(temp_.c_str());
        throw FileError(failure_ + reason);
    }
}

AtomicFileWriter::~AtomicFileWriter() {
    if (committed_ || direct_)
        return;
    if (fd_ >= 0)
        CloseFile(fd_);
    std::remove(temp_.c_str());
    ForgetTemporaryFile(temp_.c_str());
}

void AtomicFileWriter::Write(std::string_view bytes) {
    if (!direct_ && buffer_.empty() && bytes.size() >= kBufferSize) {
        WriteThrough(bytes);
        return;
    }
    buffer_.append(bytes);
    if (!direct_ && buffer_.size() >= kBufferSize)
        Flush();
}

void AtomicFileWriter::Flush() {
    WriteThrough(buffer_);
    buffer_.clear();
}

void AtomicFileWriter::WriteThrough(std::string_view bytes) {
    if (!WriteAll(fd_, bytes))
        throw FileError(failure_ + SystemReason());
}

void AtomicFileWriter::CommitDirectly() {
    fd_ = OpenFile(target_.c_str(), kDirectWriteFlags);
    if (fd_ < 0)
        throw FileError(failure_ + SystemReason());
    const bool written = WriteAll(fd_, buffer_);
    const std::string reason = SystemReason();
    CloseFile(fd_);
    fd_ = -1;
    if (!written)
        throw FileError(failure_ + reason);
    committed_ = true;
}

void AtomicFileWriter::Commit() {
    if (direct_) {
        CommitDirectly();
        return;
    }
    Flush();
#ifndef _WIN32
    // A replaced file keeps its permissions; a new one has the umask's already.
    struct stat existing {};
    if (::stat(target_.c_str(), &existing) == 0)
        ::fchmod(fd_, existing.st_mode & 07777);
#endif
    const bool synced = syncWrittenFile(fd_) == 0;
    const bool closed = CloseFile(fd_) == 0;
    fd_ = -1;
    if (!synced || !closed)
        throw FileError(failure_ + SystemReason());
    std::error_code ec;
    std::filesystem::rename(temp_, target_, ec);
    if (ec)
        throw FileError(failure_ + ec.message());
    ForgetTemporaryFile(temp_.c_str());
    committed_ = true;
}

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
    AtomicFileWriter writer(path);
    writer.Write(bytes);
    writer.Commit();
}

std::string JoinLinesCrLf(const std::vector<std::string>& lines) {
    std::size_t total = 0;
    for (const auto& line : lines)
        total += line.size() + 2;
    std::string bytes;
    bytes.reserve(total);
    for (const auto& line : lines) {
        bytes += line;
        bytes += "\r\n";
    }
    return bytes;
}

std::string NotAFileReason(bool folder) {
    return folder ? "It is a folder, not a file."
                  : "It is not a regular file but a device, a pipe or a socket.";
}

bool IsSameFile(const std::string& a, const std::string& b) {
    std::error_code ec;
    return std::filesystem::equivalent(a, b, ec) && !ec;
}

void RemoveTemporaryFilesInProgress() {
    for (auto& slot : temporaryFiles) {
        if (const char* path = slot.load())
            RemoveFileNow(path);
    }
}

bool HasExtension(const std::string& path, const std::string& upperExtension) {
    std::string lower = upperExtension;
    for (char& c : lower) {
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    }
    const std::size_t slash = path.find_last_of("/\\");
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    const auto endsWith = [&name](const std::string& ending) {
        return name.size() >= ending.size() &&
               name.compare(name.size() - ending.size(), ending.size(), ending) == 0;
    };
    return endsWith(upperExtension) || endsWith(lower);
}

} // namespace stadix
