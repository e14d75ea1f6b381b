#include "sdcard/qt/RecordFolder.h"

#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>

namespace stadix {
namespace {

namespace fs = std::filesystem;

TEST(CardVolumesTest, RemovableMediaFirstThenOtherMountsWithoutTheSystem) {
    const std::vector<MountedVolume> mounts = {{"/", "ext4"},
                                               {"/mnt/usb", "vfat"},
                                               {"/boot/efi", "vfat"},
                                               {"/run/media/ann/SD", "exfat"},
                                               {"/home", "ext4"},
                                               {"/media/bob/CARD", "vfat"},
                                               {"/var/lib/docker", "ext4"},
                                               {"/media/bob/CARD", "vfat"},
                                               {"/srv/data", "tmpfs"},
                                               {"/runner", "ext4"}};
    EXPECT_EQ(CardVolumesOfMounts(mounts),
              (std::vector<std::string>{"/media/bob/CARD", "/run/media/ann/SD", "/home", "/mnt/usb",
                                        "/runner"}));
    EXPECT_EQ(CardVolumesOfDrives({"C:/", "f:/", "A:/", "E:/", "D:/", "Z:/"}),
              (std::vector<std::string>{"E:/", "f:/", "Z:/"}));
}

class RecordFolderTest : public test::TempFolderTest {};

TEST_F(RecordFolderTest, FindsTheFirstFolderOnTheFirstVolumeThatHasOne) {
    for (const char* folder : {"c/_TSF_", "f/_TSR_", "f/TSD", "g/_TSF_", "g/TSF"})
        fs::create_directories(dir / folder);
    fs::create_directories(dir / "d");
    std::ofstream(dir / "d" / "TSD") << "a file, not a folder";
    using Kind = RecordFolderKind;
    const auto found = [&](std::vector<std::string> names) {
        for (std::string& name : names)
            name = Path(name);
        const std::optional<RecordFolder> folder = FindRecordFolder(names);
        return folder ? std::make_pair(folder->path.substr(dir.string().size() + 1), folder->kind)
                      : std::make_pair(std::string("none"), Kind::JobStores);
    };
    EXPECT_EQ(found({"d", "f", "c"}), std::make_pair(std::string("f/TSD"), Kind::JobStores));
    EXPECT_EQ(found({"c", "f"}), std::make_pair(std::string("c/_TSF_"), Kind::PointFiles));
    EXPECT_EQ(found({"g"}), std::make_pair(std::string("g/TSF"), Kind::RecordFiles));
    EXPECT_EQ(found({"missing", "d"}).first, "none");
    fs::remove(dir / "f" / "TSD");
    EXPECT_EQ(found({"f"}), std::make_pair(std::string("f/_TSR_"), Kind::RecordFiles));
}

} // namespace
} // namespace stadix
