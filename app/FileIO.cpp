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

void WriteFileAtomically(const std::string& path, const std::string& bytes) {
    namespace fs = std::filesystem;
    const fs::path target(path);
    const fs::path folder = target.has_parent_path() ? target.parent_path() : fs::path(".");
    std::string temp = (folder / ("." + target.filename().string() + ".XXXXXX")).string();
    const std::string failure = "Cannot create file \"" + path + "\". ";
#ifndef _WIN32
    const int fd = mkstemp(temp.data());
    if (fd < 0)
        throw FileError(failure + SystemReason());
    std::size_t written = 0;
    while (written < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + written, bytes.size() - written);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            const std::string reason = SystemReason();
            ::close(fd);
            ::unlink(temp.c_str());
            throw FileError(failure + reason);
        }
        written += static_cast<std::size_t>(n);
    }
    // A replaced file keeps its permissions; a new one gets ordinary ones, not
    // mkstemp's private ones.
    struct stat existing {};
    ::fchmod(fd, ::stat(path.c_str(), &existing) == 0 ? (existing.st_mode & 07777) : 0644);
    if (::fsync(fd) != 0 || ::close(fd) != 0) {
        const std::string reason = SystemReason();
        ::unlink(temp.c_str());
        throw FileError(failure + reason);
    }
#else
    temp = (folder / ("." + target.filename().string() + ".tmp")).string();
    {
        std::ofstream out(temp, std::ios::binary | std::ios::trunc);
        out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        out.close();
        if (!out) {
            std::remove(temp.c_str());
            throw FileError(failure + SystemReason());
        }
    }
#endif
    std::error_code ec;
    fs::rename(temp, target, ec);
    if (ec) {
        fs::remove(temp);
        throw FileError(failure + ec.message());
    }
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
