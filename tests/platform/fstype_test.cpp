#include <sys/sysmacros.h>

#include <gtest/gtest.h>

#include "platform/fstype.h"

namespace zelvar {
namespace {

// The mount entry of a folder on FUSE decides whether a change of letter case needs two steps.
TEST(FileSystemType, FuseMountsOfWindowsFormatsFoldCase) {
    struct Case {
        const char* type;
        const char* source;
        bool folds;
    };
    const Case cases[] = {
        {"fuseblk", "/dev/sdb1", true},  // ntfs-3g, exfat-fuse: no subtype given
        {"fuseblk.ntfs-3g", "/dev/sdb1", true},
        {"fuseblk.exfat", "/dev/sdc1", true},
        {"fuse.fusefat", "/dev/sdb1", true},
        {"fuse.exfat-fuse", "/dev/sdb1", true},
        {"fuse.ciopfs", "/home/x/.ci", true},
        {"fuse", "fusefat#/dev/sdb1", true},
        {"fuse", "/dev/loop3", true},
        {"fuse", "exfat", true},
        {"vfat", "/dev/sdb1", true},
        {"exfat", "/dev/sdb1", true},
        {"fuse.sshfs", "eva@host:/home", false},
        {"fuse.bindfs", "/srv/data", false},
        {"fuse", "sshfs#eva@host:", false},
        {"fuse.gvfsd-fuse", "gvfsd-fuse", false},
        {"fuse", "bindfs", false},
        {"fuseblkx", "/dev/sdb1", false},
        {"ext4", "/dev/sda2", false},
        {"tmpfs", "tmpfs", false},
        {"fuse.", "/dev/sdb1", false},
        {"", "", false},
    };
    for (const auto& c : cases) EXPECT_EQ(mountFoldsCase(c.type, c.source), c.folds) << c.type << " " << c.source;
}

TEST(FileSystemType, FindsTheMountOfADeviceInTheMountTable) {
    const std::string_view table =
        "26 1 8:2 / / rw,relatime shared:1 - ext4 /dev/sda2 rw\n"
        "40 26 0:58 / /media/eva/STICK rw,nosuid - fuseblk /dev/sdb1 rw,user_id=0\n"
        "41 26 0:58 /sub /mnt/again rw - fuseblk /dev/sdb1 rw\n"
        "42 26 0:59 / /mnt/a\\040b rw shared:7 opt:x - fuse.sshfs eva@host:/ rw\n"
        "43 26 0:60 / /broken rw - \n"
        "broken\n";
    std::string_view type, source;
    ASSERT_TRUE(mountOfDevice(table, makedev(0, 58), type, source));
    EXPECT_EQ(type, "fuseblk");
    EXPECT_EQ(source, "/dev/sdb1");
    ASSERT_TRUE(mountOfDevice(table, makedev(0, 59), type, source));
    EXPECT_EQ(type, "fuse.sshfs");
    EXPECT_EQ(source, "eva@host:/");
    EXPECT_FALSE(mountOfDevice(table, makedev(0, 60), type, source));
    EXPECT_FALSE(mountOfDevice(table, makedev(8, 20), type, source)) << "8:20 is not 8:2";
}

}  // namespace
}  // namespace zelvar
