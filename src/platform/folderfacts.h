#pragma once
// What the About box tells about the file system of a folder, read without changing anything.
#include <string>

namespace zelvar {

struct FolderFacts {
    bool known = false;      // the folder could be looked at
    std::string fsType;      // as the mount table names it ("ext4", "vfat"); empty when unknown
    bool foldsCase = false;  // names that differ only in letter case are the same entry there
    long nameMax = 0;        // longest name in bytes, 0 when unknown
};

FolderFacts folderFacts(const std::string& folder);

}  // namespace zelvar
