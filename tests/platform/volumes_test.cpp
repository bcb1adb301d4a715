#include <gtest/gtest.h>

#include "platform/volumes.h"

namespace zelvar {
namespace {

TEST(Volumes, KeepsOnlyBrowsableFileSystemsFromTheMountTable) {
    // System mounts, a USB stick, a container engine's layers, all seen from inside a container
    // whose root is an overlay; a later mount on the same point hides the earlier one, whatever it is.
    const std::vector<Volume> volumes = volumesFromMountInfo(
        "21 26 0:20 / /proc rw,relatime - proc proc rw\n"
        "24 23 0:22 / /dev/shm rw - tmpfs tmpfs rw\n"
        "26 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
        "28 26 0:30 / /tmp rw shared:3 - tmpfs tmpfs rw\n"
        "30 29 8:17 / /run/media/eva/MY\\040STICK rw,nosuid shared:9 - vfat /dev/sdb1 rw\n"
        "31 29 0:45 / /run/user/1000 rw - tmpfs tmpfs rw\n"
        "33 26 0:50 / /var/lib/docker/overlay2/abc/merged rw - overlay overlay rw,lowerdir=x\n"
        "34 26 0:51 / /mnt/back\\134slash rw - nfs server:/export rw\n"
        "35 26 0:52 / /mnt/data rw - ext4 /dev/sdc1 rw\n"
        "36 26 0:53 / /mnt/data rw - proc proc rw\n"
        "100 90 0:40 / / rw - overlay overlay rw,lowerdir=a\n"
        "broken line\n");
    std::string got;
    for (const Volume& v : volumes) got += v.root + " " + v.fsType + " " + v.source + "\n";
    EXPECT_EQ(got,
              "/ overlay overlay\n/mnt/back\\slash nfs server:/export\n/run/media/eva/MY STICK vfat /dev/sdb1\n"
              "/tmp tmpfs tmpfs\n");
}

TEST(Volumes, AFolderBelongsToTheVolumeWithTheLongestRootContainingIt) {
    std::vector<Volume> volumes;
    for (const char* root : {"/", "/home", "/home/eva/usb"}) volumes.push_back({root, "", "", ""});
    const std::pair<const char*, int> cases[] = {
        {"/etc", 0},           {"/home", 1},          {"/homework", 0}, {"/home/eva/usb/x", 2},
        {"/home/eva/usbx", 1}, {"relative/path", -1}, {"", -1},
    };
    for (const auto& [path, index] : cases) EXPECT_EQ(volumeIndexOf(volumes, path), index) << path;
}

}  // namespace
}  // namespace zelvar
