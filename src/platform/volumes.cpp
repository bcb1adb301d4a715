#include "platform/volumes.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <unordered_set>

namespace zelvar {

namespace {

// Kernel interfaces, pseudo and helper file systems: nothing a user keeps files on.
const std::unordered_set<std::string_view> kPseudoTypes = {
    "proc",        "sysfs",           "cgroup", "cgroup2", "devpts",   "devtmpfs",  "mqueue",   "debugfs",
    "tracefs",     "securityfs",      "pstore", "bpf",     "autofs",   "fusectl",   "configfs", "binfmt_misc",
    "hugetlbfs",   "rpc_pipefs",      "nfsd",   "nsfs",    "efivarfs", "selinuxfs", "smackfs",  "fuse.lxcfs",
    "fuse.portal", "fuse.gvfsd-fuse",
};

bool isUnder(const std::string& path, std::string_view place) {
    return path.compare(0, place.size(), place) == 0 && (path.size() == place.size() || path[place.size()] == '/');
}

// Places where the system and container engines mount their own things.
bool isSystemPlace(const std::string& root) {
    for (std::string_view place : {"/proc", "/sys", "/dev", "/snap", "/var/lib/docker", "/var/lib/containers",
                                   "/var/lib/kubelet", "/var/lib/lxcfs"})
        if (isUnder(root, place)) return true;
    // Removable media appear under /run/media; the rest of /run is the system's.
    return isUnder(root, "/run") && !isUnder(root, "/run/media");
}

int octalDigit(char c) { return c >= '0' && c <= '7' ? c - '0' : -1; }

// The mount table writes a blank, tab, newline and backslash in a path as "\" and three octal digits.
std::string unescapeOctal(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && octalDigit(text[i + 1]) >= 0 && octalDigit(text[i + 2]) >= 0 &&
            octalDigit(text[i + 3]) >= 0) {
            out +=
                static_cast<char>(octalDigit(text[i + 1]) * 64 + octalDigit(text[i + 2]) * 8 + octalDigit(text[i + 3]));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

int hexDigit(char c) {
    if (c >= '0' && c <= '9') return c - '0';
    if (c >= 'a' && c <= 'f') return c - 'a' + 10;
    if (c >= 'A' && c <= 'F') return c - 'A' + 10;
    return -1;
}

// udev writes the unsafe bytes of a label as "\x" and two hex digits.
std::string unescapeHex(std::string_view text) {
    std::string out;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\\' && i + 3 < text.size() && text[i + 1] == 'x' && hexDigit(text[i + 2]) >= 0 &&
            hexDigit(text[i + 3]) >= 0) {
            out += static_cast<char>(hexDigit(text[i + 2]) * 16 + hexDigit(text[i + 3]));
            i += 3;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::vector<std::string_view> fields(std::string_view line) {
    std::vector<std::string_view> out;
    std::size_t from = 0;
    while (from < line.size()) {
        const std::size_t end = std::min(line.find(' ', from), line.size());
        if (end > from) out.push_back(line.substr(from, end - from));
        from = end + 1;
    }
    return out;
}

// One line: id parent major:minor root mount-point options [optional...] - type source options.
bool parseLine(std::string_view line, Volume& volume) {
    const std::vector<std::string_view> f = fields(line);
    std::size_t dash = 6;
    while (dash < f.size() && f[dash] != "-") ++dash;
    if (f.size() < 5 || dash + 2 >= f.size()) return false;
    volume.root = unescapeOctal(f[4]);
    volume.fsType = unescapeOctal(f[dash + 1]);
    volume.source = unescapeOctal(f[dash + 2]);
    return true;
}

bool browsable(const Volume& v) {
    if (v.root.empty() || v.root[0] != '/') return false;
    if (kPseudoTypes.count(v.fsType) != 0 || isSystemPlace(v.root)) return false;
    // A container's root is an overlay; elsewhere overlays are the layers of container engines.
    if ((v.fsType == "overlay" || v.fsType == "aufs") && v.root != "/") return false;
    return true;
}

std::string canonical(const std::string& path) {
    char resolved[PATH_MAX];
    return realpath(path.c_str(), resolved) != nullptr ? std::string(resolved) : path;
}

// Device path -> label, from the links udev keeps.
std::map<std::string, std::string> labelsByDevice(const std::string& byLabel) {
    std::map<std::string, std::string> labels;
    const std::string folder = byLabel + "/";
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) return labels;
    while (const dirent* d = readdir(dir)) {
        if (d->d_name[0] == '.') continue;
        labels.emplace(canonical(folder + d->d_name), unescapeHex(d->d_name));
    }
    closedir(dir);
    return labels;
}

// A mount point that is a folder, asked without waking an automount or a sleeping network server.
bool isFolder(const std::string& root) {
    struct statx sx;
    return statx(AT_FDCWD, root.c_str(), AT_NO_AUTOMOUNT | AT_STATX_DONT_SYNC, STATX_TYPE, &sx) == 0 &&
           S_ISDIR(sx.stx_mode);
}

}  // namespace

std::vector<Volume> volumesFromMountInfo(std::string_view mountInfo) {
    std::map<std::string, Volume> byRoot;  // a later mount on the same point hides the earlier one
    std::size_t from = 0;
    while (from < mountInfo.size()) {
        const std::size_t end = std::min(mountInfo.find('\n', from), mountInfo.size());
        Volume volume;
        if (parseLine(mountInfo.substr(from, end - from), volume)) {
            if (browsable(volume))
                byRoot[volume.root] = std::move(volume);
            else
                byRoot.erase(volume.root);
        }
        from = end + 1;
    }
    std::vector<Volume> volumes;
    for (auto& entry : byRoot) volumes.push_back(std::move(entry.second));
    return volumes;
}

std::vector<Volume> listVolumes() {
    std::ifstream file("/proc/self/mountinfo");
    std::stringstream text;
    text << file.rdbuf();
    std::vector<Volume> volumes = volumesFromMountInfo(text.str());
    std::erase_if(volumes, [](const Volume& v) { return !isFolder(v.root); });
    addVolumeLabels(volumes);
    return volumes;
}

void addVolumeLabels(std::vector<Volume>& volumes, const std::string& byLabel) {
    const auto labels = labelsByDevice(byLabel);
    if (labels.empty()) return;
    for (Volume& v : volumes) {
        if (v.source.empty() || v.source[0] != '/') continue;  // "tmpfs", "server:/export"
        if (const auto it = labels.find(canonical(v.source)); it != labels.end()) v.label = it->second;
    }
}

int volumeIndexOf(const std::vector<Volume>& volumes, const std::string& path) {
    int best = -1;
    for (std::size_t i = 0; i < volumes.size(); ++i) {
        const std::string& root = volumes[i].root;
        const bool contains = root == "/" ? !path.empty() && path[0] == '/' : isUnder(path, root);
        if (contains && (best < 0 || root.size() > volumes[best].root.size())) best = static_cast<int>(i);
    }
    return best;
}

}  // namespace zelvar
