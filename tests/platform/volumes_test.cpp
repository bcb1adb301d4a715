
#include <gtest/gtest.h>

#include "platform/volumes.h"
#include "temp_folder.h"

namespace zelvar {
namespace {

TEST(Volumes, KeepsOnlyBrowsableFileSystemsFromTheMountTable) {
    // A desktop with a USB stick, a laptop's system mounts and a container engine's layers, all of
    // it seen from inside a container whose root is an overlay.
    const std::vector<Volume> volumes = volumesFromMountInfo(
        "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
        "22 26 0:21 / /sys rw - sysfs sysfs rw\n"
        "23 26 0:6 / /dev rw - devtmpfs devtmpfs rw,size=8k\n"
        "24 23 0:22 / /dev/shm rw - tmpfs tmpfs rw\n"
        "26 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
        "27 26 8:3 / /home rw,relatime shared:2 - ext4 /dev/sda3 rw\n"
        "28 26 0:30 / /tmp rw shared:3 - tmpfs tmpfs rw\n"
        "29 26 0:31 / /run rw - tmpfs tmpfs rw\n"
        "30 29 8:17 / /run/media/eva/MY\\040STICK rw,nosuid shared:9 - vfat /dev/sdb1 rw\n"
        "31 29 0:45 / /run/user/1000 rw - tmpfs tmpfs rw\n"
        "32 22 0:27 / /sys/fs/cgroup rw - cgroup2 x rw\n"
        "33 26 0:50 / /var/lib/docker/overlay2/abc/merged rw - overlay overlay rw,lowerdir=x\n"
        "34 26 0:51 / /mnt/back\\134slash rw - nfs server:/export rw\n"
        "35 26 0:52 / /mnt/data rw - ext4 /dev/sdc1 rw\n"
        "36 26 0:53 / /mnt/data rw - proc proc rw\n"
        "37 26 0:54 / /srv rw - ext4 /dev/sdd1 rw\n"
        "38 26 0:55 / /srv rw - xfs /dev/sde1 rw\n"
        "39 26 0:56 / /proc/sys/fs/binfmt_misc rw - binfmt_misc binfmt_misc rw\n"
        "100 90 0:40 / / rw - overlay overlay rw,lowerdir=a\n"
        "broken line\n");
    std::vector<std::string> roots, types;
    for (const Volume& v : volumes) roots.push_back(v.root), types.push_back(v.fsType);
    // A later mount on the same point hides the earlier one, whatever it is.
    EXPECT_EQ(roots,
              (std::vector<std::string>{"/", "/home", "/mnt/back\\slash", "/run/media/eva/MY STICK", "/srv", "/tmp"}));
    EXPECT_EQ(types, (std::vector<std::string>{"overlay", "ext4", "nfs", "vfat", "xfs", "tmpfs"}));
    EXPECT_EQ(volumes[3].source, "/dev/sdb1");
}

TEST(Volumes, AFolderBelongsToTheVolumeWithTheLongestRootContainingIt) {
    std::vector<Volume> volumes;
    for (const char* root : {"/", "/home", "/home/eva/usb", "/mnt/a b"}) volumes.push_back({root, "", "", ""});
    const std::pair<const char*, int> cases[] = {
        {"/", 0},          {"/etc", 0},          {"/home", 1},           {"/home/eva", 1},
        {"/homework", 0},  {"/home/eva/usb", 2}, {"/home/eva/usb/x", 2}, {"/home/eva/usbx", 1},
        {"/mnt/a b/c", 3}, {"/mnt/a", 0},        {"relative/path", -1},  {"", -1},
    };
    for (const auto& [path, index] : cases) EXPECT_EQ(volumeIndexOf(volumes, path), index) << path;
    EXPECT_EQ(volumeIndexOf({}, "/"), -1);
}

TEST(Volumes, TakesLabelsFromTheLinksNamedByLabel) {
    testing::TempFolder dir;
    dir.fill({{"dev", "<folder>"},
              {"dev/sdb1", ""},
              {"dev/dm-0", ""},
              {"dev/mapper", "<folder>"},
              {"dev/mapper/crypt", "-> ../dm-0"},
              {"by-label", "<folder>"},
              {"by-label/MY\\x20STICK", "-> ../dev/sdb1"},
              {"by-label/Data", "-> ../dev/dm-0"}});
    std::vector<Volume> volumes = {{"/a", "", "vfat", dir / "dev/sdb1"},
                                   {"/b", "", "ext4", dir / "dev/mapper/crypt"},
                                   {"/c", "", "ext4", dir / "dev/sdc1"},
                                   {"/d", "", "tmpfs", "tmpfs"}};
    addVolumeLabels(volumes, dir / "by-label");
    EXPECT_EQ(volumes[0].label, "MY STICK");
    EXPECT_EQ(volumes[1].label, "Data") << "a device reached through another link";
    EXPECT_EQ(volumes[2].label + volumes[3].label, "");
}

}  // namespace
}  // namespace zelvar
