#include "sdcard/qt/RecordFolder.h"

#include <QDir>
#include <QStorageInfo>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <set>

namespace stadix {

namespace {

// Folders of the operating system itself, where no card is mounted.
const char* const kSystemFolders[] = {"/boot", "/dev", "/efi", "/etc", "/proc", "/run",
                                      "/snap", "/sys", "/tmp", "/usr", "/var"};

const std::set<std::string> kPseudoFileSystems = {
    "autofs",     "binfmt_misc", "bpf",      "cgroup",   "cgroup2", "configfs",
    "debugfs",    "devpts",      "devtmpfs", "efivarfs", "fusectl", "hugetlbfs",
    "mqueue",     "nsfs",        "overlay",  "proc",     "pstore",  "ramfs",
    "rpc_pipefs", "securityfs",  "squashfs", "sysfs",    "tmpfs",   "tracefs"};

bool IsUnder(const std::string& path, const std::string& folder) {
    return path == folder ||
           (path.size() > folder.size() && path.compare(0, folder.size(), folder) == 0 &&
            path[folder.size()] == '/');
}

bool IsRemovableMedia(const std::string& path) {
    return IsUnder(path, "/media") || IsUnder(path, "/run/media");
}

bool IsSystemMount(const MountedVolume& mount) {
    if (mount.rootPath == "/" || kPseudoFileSystems.count(mount.fileSystemType) != 0)
        return true;
    if (IsRemovableMedia(mount.rootPath))
        return false;
    return std::any_of(std::begin(kSystemFolders), std::end(kSystemFolders),
                       [&](const char* folder) { return IsUnder(mount.rootPath, folder); });
}

} // namespace

std::vector<std::string> CardVolumesOfMounts(const std::vector<MountedVolume>& mounts) {
    std::set<std::pair<bool, std::string>> ordered; // removable media first, then by path
    for (const MountedVolume& mount : mounts) {
        if (!IsSystemMount(mount))
            ordered.insert({!IsRemovableMedia(mount.rootPath), mount.rootPath});
    }
    std::vector<std::string> volumes;
    for (const auto& entry : ordered)
        volumes.push_back(entry.second);
    return volumes;
}

std::vector<std::string> CardVolumesOfDrives(const std::vector<std::string>& driveRoots) {
    const auto letter = [](const std::string& root) {
        return std::toupper(static_cast<unsigned char>(root[0]));
    };
    std::vector<std::string> volumes;
    for (const std::string& root : driveRoots) {
        if (root.size() >= 2 && root[1] == ':' && letter(root) >= 'E' && letter(root) <= 'Z')
            volumes.push_back(root);
    }
    std::sort(volumes.begin(), volumes.end(),
              [&](const std::string& a, const std::string& b) { return letter(a) < letter(b); });
    return volumes;
}

std::vector<std::string> PlatformCardVolumes() {
#ifdef Q_OS_WIN
    std::vector<std::string> roots;
    for (const QFileInfo& drive : QDir::drives())
        roots.push_back(drive.absolutePath().toStdString());
    return CardVolumesOfDrives(roots);
#else
    std::vector<MountedVolume> mounts;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        if (volume.isValid() && volume.isReady())
            mounts.push_back(
                {volume.rootPath().toStdString(), volume.fileSystemType().toStdString()});
    }
    return CardVolumesOfMounts(mounts);
#endif
}

std::optional<RecordFolder> FindRecordFolder(const std::vector<std::string>& volumes) {
    for (const std::string& volume : volumes) {
        for (const RecordFolderName& folder : kRecordFolderNames) {
            std::filesystem::path path = std::filesystem::path(volume) / folder.name;
            std::error_code error;
            if (std::filesystem::is_directory(path, error))
                return RecordFolder{path.make_preferred().string(), folder.kind};
        }
    }
    return std::nullopt;
}

std::optional<RecordFolder> FindRecordFolder() {
    return FindRecordFolder(PlatformCardVolumes());
}

} // namespace stadix
