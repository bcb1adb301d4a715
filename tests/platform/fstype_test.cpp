#include <sys/sysmacros.h>

#include <gtest/gtest.h>

#include <span>

#include "platform/fstype.h"

namespace zelvar {
namespace {

// The mount entry of a folder on FUSE decides whether a change of letter case needs two steps;
// "fuseblk" without a subtype is ntfs-3g or exfat-fuse.
TEST(FileSystemType, FuseMountsOfWindowsFormatsFoldCase) {
    // Each "type source", as the mount table gives them.
    const char* folding[] = {"fuseblk /dev/sdb1",      "fuseblk.ntfs-3g /dev/sdb1", "fuseblk.exfat /dev/sdc1",
                             "fuse.fusefat /dev/sdb1", "fuse.exfat-fuse /dev/sdb1", "fuse.ciopfs /home/x/.ci",
                             "fuse fusefat#/dev/sdb1", "fuse /dev/loop3",           "fuse exfat",
                             "vfat /dev/sdb1",         "exfat /dev/sdb1",           "cifs //server/share"};
    const char* exact[] = {"fuse.sshfs eva@host:/home",
                           "fuse.bindfs /srv/data",
                           "fuse sshfs#eva@host:",
                           "fuse.gvfsd-fuse gvfsd-fuse",
                           "fuse bindfs",
                           "fuseblkx /dev/sdb1",
                           "ext4 /dev/sda2",
                           "tmpfs tmpfs",
                           "fuse. /dev/sdb1",
                           " "};
    for (const bool folds : {true, false})
        for (const std::string mount : folds ? std::span<const char*>(folding) : std::span<const char*>(exact)) {
            const std::size_t space = mount.find(' ');
            EXPECT_EQ(mountFoldsCase(mount.substr(0, space), mount.substr(space + 1)), folds) << mount;
        }
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
