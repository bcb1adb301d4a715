#include <sys/sysmacros.h>

#include <gtest/gtest.h>

#include "platform/fstype.h"

namespace zelvar {
namespace {

// The mount entry of a folder decides whether a change of letter case needs two steps; FUSE without a
// subtype names its driver in the source, and "fuseblk" alone is ntfs-3g or exfat-fuse.
TEST(FileSystemType, MountsOfWindowsFormatsFoldCase) {
    const std::tuple<const char*, const char*, bool> mounts[] = {
        {"fuseblk", "/dev/sdb1", true},
        {"fuseblk.exfat", "/dev/sdc1", true},
        {"fuse.ciopfs", "/home/x/.ci", true},
        {"fuse", "fusefat#/dev/sdb1", true},
        {"fuse", "/dev/loop3", true},
        {"fuse", "exfat", true},
        {"vfat", "/dev/sdb1", true},
        {"cifs", "//server/share", true},
        {"fuse.sshfs", "eva@host:/", false},
        {"fuse", "sshfs#eva@host:", false},
        {"fuse", "bindfs", false},
        {"fuseblkx", "/dev/sdb1", false},
        {"ext4", "/dev/sda2", false},
        {"fuse.", "/dev/sdb1", false},
    };
    for (const auto& [type, source, folds] : mounts) EXPECT_EQ(mountFoldsCase(type, source), folds) << type << source;
}

TEST(FileSystemType, FindsTheMountOfADeviceInTheMountTable) {
    const std::string_view table =
        "26 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
        "40 26 0:58 / /media/eva/STICK rw,nosuid - fuseblk /dev/sdb1 rw,user_id=0\n"
        "42 26 0:59 / /mnt/a\\040b rw shared:7 opt:x - fuse.sshfs eva@host:/ rw\n"
        "43 26 0:60 / /broken rw - \n"
        "broken\n";
    std::string_view type, source;
    ASSERT_TRUE(mountOfDevice(table, makedev(0, 59), type, source));
    EXPECT_EQ(std::string(type) + " " + std::string(source), "fuse.sshfs eva@host:/");
    EXPECT_FALSE(mountOfDevice(table, makedev(0, 60), type, source));
    EXPECT_FALSE(mountOfDevice(table, makedev(8, 20), type, source)) << "8:20 is not 8:2";
}

}  // namespace
}  // namespace zelvar
