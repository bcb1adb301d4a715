#include "platform/folderfacts.h"

#include <sys/statvfs.h>

#include "platform/listing.h"
#include "platform/volumes.h"

namespace zelvar {

FolderFacts folderFacts(const std::string& folder) {
    FolderFacts facts;
    // The listing opens the folder and asks its file system about case the same way a preview does;
    // a mask that no name can match keeps it from collecting entries.
    const Listing listing = listFolder(folder, U"\u0001", File::Oboje, 1);
    if (listing.failure) return facts;
    facts.known = true;
    facts.foldsCase = listing.caseInsensitive;
    const std::vector<Volume> volumes = listVolumes();
    const int volume = volumeIndexOf(volumes, folder);
    if (volume >= 0) facts.fsType = volumes[std::size_t(volume)].fsType;
    struct statvfs fs;
    if (statvfs(folder.c_str(), &fs) == 0) facts.nameMax = static_cast<long>(fs.f_namemax);
    return facts;
}

}  // namespace zelvar
