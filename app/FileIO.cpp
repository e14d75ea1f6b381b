#include "app/FileIO.h"

#include "app/Errors.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace stadix {

namespace {

std::string SystemReason() {
    return std::strerror(errno);
}

// The position of the first CR or LF from start; npos when there is none.
std::size_t FindLineEnd(const std::string& text, std::size_t start) {
    for (std::size_t i = start; i < text.size(); ++i) {
        if (text[i] == '\r' || text[i] == '\n')
            return i;
    }
    return std::string::npos;
}

} // namespace

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw FileError("Cannot open file \"" + path + "\". " + SystemReason());
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad())
        throw FileError("Cannot read file \"" + path + "\". " + SystemReason());
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
    return SplitLines(ReadFileBytes(path));
}

FileLineReader::FileLineReader(const std::string& path) : path_(path), in_(path, std::ios::binary) {
    if (!in_)
        throw FileError("Cannot open file \"" + path + "\". " + SystemReason());
}

bool FileLineReader::Fill() {
    buffer_.erase(0, position_);
    position_ = 0;
    char piece[1 << 16];
    in_.read(piece, sizeof piece);
    if (in_.bad())
        throw FileError("Cannot read file \"" + path_ + "\". " + SystemReason());
    buffer_.append(piece, static_cast<std::size_t>(in_.gcount()));
    return in_.gcount() > 0;
}

bool FileLineReader::Next(std::string& line) {
    std::size_t scanned = position_;
    for (;;) {
        std::size_t end = FindLineEnd(buffer_, scanned);
        if (end == std::string::npos) {
            const std::size_t offset = buffer_.size() - position_;
            if (Fill()) {
                scanned = offset;
                continue;
            }
            if (buffer_.empty())
                return false;
            // A last line without a line end.
            line = std::move(buffer_);
            buffer_.clear();
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
        line.assign(buffer_, position_, end - position_);
        position_ = end + 1;
        if (buffer_[end] == '\r' && position_ < buffer_.size() && buffer_[position_] == '\n')
            ++position_;
        return true;
    }
}

AtomicFileWriter::AtomicFileWriter(const std::string& path)
    : path_(path), failure_("Cannot create file \"" + path + "\". ") {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
#ifndef _WIN32
    temp_ = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    fd_ = mkstemp(temp_.data());
    if (fd_ < 0)
        throw FileError(failure_ + SystemReason());
#else
    temp_ = (folder / ("." + target.filename().string() + ".tmp")).string();
    out_.open(temp_, std::ios::binary | std::ios::trunc);
    if (!out_)
        throw FileError(failure_ + SystemReason());
#endif
}

AtomicFileWriter::~AtomicFileWriter() {
    if (committed_)
        return;
#ifndef _WIN32
    if (fd_ >= 0)
        ::close(fd_);
#else
    out_.close();
#endif
    std::remove(temp_.c_str());
}

void AtomicFileWriter::Write(std::string_view bytes) {
    if (buffer_.empty() && bytes.size() >= kBufferSize) {
        WriteThrough(bytes);
        return;
    }
    buffer_.append(bytes);
    if (buffer_.size() >= kBufferSize)
        Flush();
}

void AtomicFileWriter::Flush() {
    WriteThrough(buffer_);
    buffer_.clear();
}

void AtomicFileWriter::WriteThrough(std::string_view bytes) {
#ifndef _WIN32
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd_, bytes.data() + written, bytes.size() - written);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            throw FileError(failure_ + SystemReason());
        written += static_cast<std::size_t>(n);
    }
#else
    out_.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out_)
        throw FileError(failure_ + SystemReason());
#endif
}

void AtomicFileWriter::Commit() {
    Flush();
#ifndef _WIN32
    // A replaced file keeps its permissions; a new one gets ordinary ones, not
    // mkstemp's private ones.
    struct stat existing {};
    ::fchmod(fd_, ::stat(path_.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644);
    const bool synced = ::fsync(fd_) == 0;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    if (!synced || !closed)
        throw FileError(failure_ + SystemReason());
#else
    out_.close();
    if (!out_)
        throw FileError(failure_ + SystemReason());
#endif
    std::error_code ec;
    std::filesystem::rename(temp_, path_, ec);
    if (ec)
        throw FileError(failure_ + ec.message());
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
