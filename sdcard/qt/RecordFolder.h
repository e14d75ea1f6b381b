// Finding the instrument's record folder on a plugged-in card or USB disk.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace stadix {

// What the instrument keeps in a record folder, which steers the card export: a point
// file folder preselects the point coordinate (PTS) file type, the others the record
// file type.
enum class RecordFolderKind { JobStores, RecordFiles, PointFiles };

// The folders in which the instrument keeps its files, searched in this order on each
// volume.
struct RecordFolderName {
    const char* name;
    RecordFolderKind kind;
};

inline constexpr RecordFolderName kRecordFolderNames[] = {
    {"TSD", RecordFolderKind::JobStores},
    {"TSF", RecordFolderKind::RecordFiles},
    {"_TSF_", RecordFolderKind::PointFiles},
    {"_TSR_", RecordFolderKind::RecordFiles},
};

struct RecordFolder {
    std::string path;
    RecordFolderKind kind = RecordFolderKind::JobStores;
};

// A mounted volume as the platform lists it.
struct MountedVolume {
    std::string rootPath;
    std::string fileSystemType;
};

// The volumes to search on Linux: removable media under /media and /run/media first,
// then the other mounts, each group sorted by path. The root file system, system
// folders (/boot, /proc, /sys, /dev, /run, /usr, /var, ...) and pseudo file systems are
// left out.
std::vector<std::string> CardVolumesOfMounts(const std::vector<MountedVolume>& mounts);

// The volumes to search on Windows: the drives from E: upward, in letter order.
std::vector<std::string> CardVolumesOfDrives(const std::vector<std::string>& driveRoots);

// The volumes of this computer to search, in search order.
std::vector<std::string> PlatformCardVolumes();

// The first record folder found: the volumes in order, on each the folder names in
// order.
std::optional<RecordFolder> FindRecordFolder(const std::vector<std::string>& volumes);

// The record folder on the volumes of this computer.
std::optional<RecordFolder> FindRecordFolder();

} // namespace stadix
