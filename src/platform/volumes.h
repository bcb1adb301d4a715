#pragma once
// The mounted volumes a user can browse: real file systems that are ready (no proc, sysfs, cgroup,
// tmpfs of the system and the like), read from the mount table. A mount hidden by a later one on the
// same mount point is not listed; the list is ordered by root, so "/" comes first.
#include <string>
#include <string_view>
#include <vector>

namespace zelvar {

struct Volume {
    std::string root;   // mount point, "/" for the root file system
    std::string label;  // the volume's name where it has one, else empty
    std::string fsType;
    std::string source;  // what is mounted, a device path for disks ("/dev/sda1")
};

std::vector<Volume> listVolumes();
// The volume with the longest root that contains path (absolute, normalised); -1 when none.
int volumeIndexOf(const std::vector<Volume>& volumes, const std::string& path);

// The browsable mounts of a mount table in the format of /proc/self/mountinfo, without labels and
// without looking at the disk (listVolumes adds both).
std::vector<Volume> volumesFromMountInfo(std::string_view mountInfo);
// Names the volumes whose device has a link in byLabel (udev's folder of links named by label).
void addVolumeLabels(std::vector<Volume>& volumes, const std::string& byLabel = "/dev/disk/by-label");

}  // namespace zelvar
