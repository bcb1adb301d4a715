#include <sys/sysmacros.h>

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/fstype.h"

namespace zelvar {
namespace {

// The mount entry of a folder decides whether a change of letter case needs two steps; FUSE without a
// subtype names its driver in the source, and "fuseblk" alone is ntfs-3g or exfat-fuse.
TEST(FileSystemType, MountsOfWindowsFormatsFoldCase) {
    // Each mount as "type source".
    const std::pair<bool, std::vector<std::string>> cases[] = {
        {true,
         {"fuseblk /dev/sdb1", "fuseblk.exfat /dev/sdc1", "fuse.ciopfs /home/x/.ci", "fuse fusefat#/dev/sdb1",
          "fuse /dev/loop3", "fuse exfat", "vfat /dev/sdb1", "cifs //server/share"}},
        {false,
         {"fuse.sshfs eva@host:/", "fuse sshfs#eva@host:", "fuse bindfs", "fuseblkx /dev/sdb1", "ext4 /dev/sda2",
          "fuse. /dev/sdb1"}}};
    for (const auto& [folds, mounts] : cases)
        for (const std::string& mount : mounts) {
            const std::size_t space = mount.find(' ');
            EXPECT_EQ(mountFoldsCase(mount.substr(0, space), mount.substr(space + 1)), folds) << mount;
        }
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
