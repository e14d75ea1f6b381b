#include "gis/StagingFolder.h"

#include "base/Errors.h"
#include "base/FileIO.h"
#include "gis/PointWriters.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace stadix {

namespace fs = std::filesystem;

namespace {

// The staging folders of the writes in progress: a fixed table of atomic pointers, so
// that a signal handler may read it at any moment.
constexpr std::size_t kTrackedFolders = 8;
std::atomic<const char*> trackedFolders[kTrackedFolders];

void TrackFolder(const char* path) {
    for (auto& slot : trackedFolders) {
        const char* empty = nullptr;
        if (slot.compare_exchange_strong(empty, path))
            return;
    }
}

void ForgetFolder(const char* path) {
    for (auto& slot : trackedFolders) {
        const char* tracked = path;
        if (slot.compare_exchange_strong(tracked, nullptr))
            return;
    }
}

// Removes the files in the folder, then the folder, with system calls only. A folder
// that holds another (an older set moved aside) is left, with what it holds.
void RemoveFolderNow(const char* path) {
    const int folder = ::open(path, O_RDONLY | O_DIRECTORY);
    if (folder >= 0) {
        alignas(dirent64) char entries[4096];
        long size = 0;
        while ((size = ::syscall(SYS_getdents64, folder, entries, sizeof entries)) > 0) {
            for (long at = 0; at < size;) {
                const auto* entry = reinterpret_cast<const dirent64*>(entries + at);
                if (entry->d_type == DT_REG)
                    ::unlinkat(folder, entry->d_name, 0);
                at += entry->d_reclen;
            }
        }
        ::close(folder);
    }
    ::rmdir(path);
}

std::string UpperCase(std::string text) {
    for (char& c : text) {
        if (c >= 'a' && c <= 'z')
            c = static_cast<char>(c - 'a' + 'A');
    }
    return text;
}

bool IsRegularFile(const fs::path& path) {
    std::error_code ec;
    return fs::is_regular_file(fs::symlink_status(path, ec));
}

fs::path FileToReplace(const std::string& target) {
    std::error_code ec;
    if (!fs::is_symlink(target, ec))
        return target;
    const fs::path followed = fs::weakly_canonical(target, ec);
    return ec ? fs::path(target) : followed;
}

} // namespace

StagingFolder::StagingFolder(const std::string& target)
    : target_(FileToReplace(target)), failure_("Cannot create file \"" + target + "\". ") {
    std::error_code ec;
    const fs::file_status status = fs::status(target_, ec);
    if (fs::exists(status) && !fs::is_regular_file(status))
        throw FileError(failure_ + NotAFileReason(fs::is_directory(status)));
    const fs::path parent = target_.has_parent_path() ? target_.parent_path() : fs::path(".");
    name_ = (parent / ("." + target_.filename().string() + ".XXXXXX")).string();
    // Tracked before it exists, so that a signal that comes as it is made still finds it.
    TrackFolder(name_.c_str());
    if (!::mkdtemp(name_.data())) {
        const std::string reason = std::strerror(errno);
        ForgetFolder(name_.c_str());
        throw FileError(failure_ + reason);
    }
    folder_ = name_;
}

StagingFolder::~StagingFolder() {
    std::error_code ec;
    fs::remove_all(folder_, ec);
    ForgetFolder(name_.c_str());
}

std::string StagingFolder::StagedPath() const {
    return (folder_ / target_.filename()).string();
}

void StagingFolder::MoveIntoPlace(const std::vector<std::string>& setExtensions) {
    const std::vector<fs::path> made = MadeFiles();
    for (const fs::path& file : made) {
        const int fd = ::open(file.c_str(), O_RDONLY);
        const bool synced = fd >= 0 && ::fsync(fd) == 0;
        const std::string reason = std::strerror(errno);
        if (fd >= 0)
            ::close(fd);
        if (!synced)
            throw FileError(failure_ + reason);
    }
    if (!setExtensions.empty()) {
        MoveSetIntoPlace(made, setExtensions);
        return;
    }
    std::error_code ec;
    fs::rename(StagedPath(), target_, ec);
    if (ec)
        throw FileError(failure_ + ec.message());
}

std::vector<fs::path> StagingFolder::MadeFiles() const {
    std::vector<fs::path> files;
    for (const fs::directory_entry& entry : fs::directory_iterator(folder_)) {
        if (entry.is_regular_file())
            files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

std::vector<fs::path> StagingFolder::OlderSet(const std::vector<std::string>& extensions) const {
    std::vector<fs::path> files;
    const fs::path stem = target_.parent_path() / target_.stem();
    for (const std::string& extension : extensions) {
        files.push_back(stem.string() + extension);
        files.push_back(stem.string() + UpperCase(extension));
    }
    return files;
}

void StagingFolder::MoveSetIntoPlace(const std::vector<fs::path>& made,
                                     const std::vector<std::string>& extensions) {
    std::error_code ec;
    const fs::path aside = folder_ / "older";
    fs::create_directory(aside, ec);
    if (ec)
        throw FileError(failure_ + ec.message());
    std::vector<fs::path> movedAside;
    const auto putBack = [&] {
        std::error_code ignored;
        for (const fs::path& file : movedAside)
            fs::rename(aside / file.filename(), file, ignored);
    };
    for (const fs::path& older : OlderSet(extensions)) {
        if (!IsRegularFile(older))
            continue;
        fs::rename(older, aside / older.filename(), ec);
        if (ec) {
            putBack();
            throw FileError(failure_ + ec.message());
        }
        movedAside.push_back(older);
    }
    std::vector<fs::path> placed;
    for (const fs::path& file : made) {
        const fs::path destination = target_.parent_path() / file.filename();
        fs::rename(file, destination, ec);
        if (ec) {
            std::error_code ignored;
            for (const fs::path& done : placed)
                fs::remove(done, ignored);
            putBack();
            throw FileError(failure_ + ec.message());
        }
        placed.push_back(destination);
    }
}

void RemoveGisWritesInProgress() {
    for (auto& slot : trackedFolders) {
        if (const char* path = slot.load())
            RemoveFolderNow(path);
    }
}

} // namespace stadix
