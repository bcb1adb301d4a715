#include "platform/folderscan.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <memory>

#include "platform/listing.h"
#include "platform/name_mask.h"

namespace zelvar {

namespace {

struct DirCloser {
    void operator()(DIR* d) const { closedir(d); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// A directory entry's kind without a stat call where the file system tells it; links and unknown
// kinds are asked about the entry they lead to.
bool isFolder(DIR* dir, const dirent* entry) {
    if (entry->d_type == DT_DIR) return true;
    if (entry->d_type != DT_LNK && entry->d_type != DT_UNKNOWN) return false;
    struct stat st;
    return fstatat(dirfd(dir), entry->d_name, &st, 0) == 0 && S_ISDIR(st.st_mode);
}

template <typename Keep>
std::vector<std::string> scan(const std::string& folder, Keep keep) {
    std::vector<std::string> names;
    DirHandle dir(opendir(folder.c_str()));
    if (!dir) return names;
    while (const dirent* entry = readdir(dir.get())) {
        const std::string_view name = entry->d_name;
        if (name == "." || name == "..") continue;
        if (keep(dir.get(), entry)) names.emplace_back(name);
    }
    return names;
}

void sortForDisplay(std::vector<std::string>& names) {
    std::vector<std::pair<Text, std::string>> keyed;
    keyed.reserve(names.size());
    for (std::string& n : names) keyed.emplace_back(toLower(fromUtf8(n)), std::move(n));
    std::sort(keyed.begin(), keyed.end());
    for (std::size_t i = 0; i < keyed.size(); ++i) names[i] = std::move(keyed[i].second);
}

}  // namespace

std::string joinPath(const std::string& folder, const std::string& name) { return folderPrefix(folder) + name; }

std::optional<Failure> folderOpenFailure(const std::string& path) {
    DirHandle dir(opendir(path.c_str()));
    if (!dir) return Failure{errno};
    return std::nullopt;
}

bool isUnavailableDevice(const Failure& failure) {
    switch (failure.error) {
        case ENOMEDIUM:
        case ENODEV:
        case ENXIO:
        case EIO:
        case ENOTCONN:
        case ESTALE:
        case EHOSTDOWN:
        case ETIMEDOUT:
        case ENOENT: return true;
        default: return false;
    }
}

std::vector<std::string> subfolderNames(const std::string& folder) {
    auto names = scan(folder, [](DIR* dir, const dirent* e) { return isFolder(dir, e); });
    sortForDisplay(names);
    return names;
}

std::vector<std::string> matchingFileNames(const std::string& folder, const Text& masks) {
    const NameMask mask(masks);
    auto names = scan(folder, [&](DIR* dir, const dirent* e) {
        if (!mask.matchesEverything() && !mask.matches(fromUtf8(e->d_name))) return false;
        return !isFolder(dir, e);
    });
    sortForDisplay(names);
    return names;
}

}  // namespace zelvar
