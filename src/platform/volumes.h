#pragma once
// The mounted volumes a user can browse: real file systems that are ready (no proc, sysfs, cgroup,
// tmpfs of the system and the like), read from the mount table.
#include <string>
#include <vector>

namespace zelvar {

struct Volume {
    std::string root;    // mount point, "/" for the root file system
    std::string label;   // the volume's name where it has one, else empty
    std::string fsType;
};

std::vector<Volume> listVolumes();
// The volume with the longest root that contains path (absolute, normalised); -1 when none.
int volumeIndexOf(const std::vector<Volume>& volumes, const std::string& path);

}  // namespace zelvar
