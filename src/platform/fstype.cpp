#include "platform/fstype.h"

#include <linux/fs.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/vfs.h>

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <fstream>
#include <sstream>
#include <string>

#ifndef FS_CASEFOLD_FL
#define FS_CASEFOLD_FL 0x40000000
#endif

namespace zelvar {

namespace {

constexpr std::uint32_t kFuseMagic = 0x65735546;

// Kernel file systems that fold case everywhere, at least as they are usually mounted.
bool magicFolds(std::uint32_t magic) {
    static constexpr std::uint32_t kFolding[] = {
        0x4d44,      // msdos, vfat
        0x2011BAB0,  // exfat
        0x5346544e,  // ntfs
        0x4244,      // hfs
        0x482b,      // hfsplus
        0xFF534D42,  // cifs
        0xFE534D42,  // smb2
        0x517B,      // smb
    };
    return std::ranges::find(kFolding, magic) != std::end(kFolding);
}

bool folderFlagFolds(int folderFd) {
    // ext4, f2fs and tmpfs fold case per folder, marked by a flag of the folder itself.
    int flags = 0;
    return ioctl(folderFd, FS_IOC_GETFLAGS, &flags) == 0 && (flags & FS_CASEFOLD_FL) != 0;
}

bool fuseMountFolds(dev_t dev) {
    std::ifstream file("/proc/self/mountinfo");
    if (!file) return false;
    std::ostringstream text;
    text << file.rdbuf();
    const std::string table = text.str();
    std::string_view fsType, source;
    return mountOfDevice(table, dev, fsType, source) && mountFoldsCase(fsType, source);
}

std::string_view field(std::string_view line, std::size_t& at) {
    while (at < line.size() && line[at] == ' ') ++at;
    const std::size_t begin = at;
    while (at < line.size() && line[at] != ' ') ++at;
    return line.substr(begin, at - begin);
}

}  // namespace

bool changesOnlyHere(std::uint32_t fsType) {
    static constexpr std::uint32_t kElsewhere[] = {
        0x6969,      // nfs
        0xFF534D42,  // cifs
        0xFE534D42,  // smb2
        0x517B,      // smb
        0x564c,      // ncp
        kFuseMagic,  // fuse
        0x00C36400,  // ceph
        0x5346414F,  // afs
        0x6B414653,  // kafs
        0x73757245,  // coda
        0x01021997,  // 9p
        0x01161970,  // gfs2
        0x7461636f,  // ocfs2
        0x47504653,  // gpfs
        0x0BD00BD0,  // lustre
        0x794c7630,  // overlay
    };
    return std::ranges::find(kElsewhere, fsType) == std::end(kElsewhere);
}

bool folderFoldsCase(int folderFd) {
    struct statfs fs;
    if (fstatfs(folderFd, &fs) == 0) {
        const auto magic = static_cast<std::uint32_t>(fs.f_type);
        if (magicFolds(magic)) return true;
        struct stat self;
        if (magic == kFuseMagic && fstat(folderFd, &self) == 0 && fuseMountFolds(self.st_dev)) return true;
    }
    return folderFlagFolds(folderFd);
}

bool folderKeepsModes(int folderFd) {
    struct statfs fs;
    if (fstatfs(folderFd, &fs) != 0) return true;
    const auto magic = static_cast<std::uint32_t>(fs.f_type);
    if (magic == 0x4d44 || magic == 0x2011BAB0) return false;  // msdos, vfat, exfat
    struct stat self;
    if (magic != kFuseMagic || fstat(folderFd, &self) != 0) return true;
    std::ifstream file("/proc/self/mountinfo");
    std::ostringstream text;
    text << file.rdbuf();
    const std::string table = text.str();
    std::string_view fsType, source;
    if (!mountOfDevice(table, self.st_dev, fsType, source)) return true;
    for (const std::string_view modeless : {"fuse.fusefat", "fuseblk.fusefat", "fuse.exfat", "fuseblk.exfat"})
        if (fsType == modeless) return false;
    return true;
}

bool folderCountsLinks(int folderFd) {
    struct statfs fs;
    return fstatfs(folderFd, &fs) == 0 && static_cast<std::uint32_t>(fs.f_type) != kFuseMagic;
}

bool mountFoldsCase(std::string_view fsType, std::string_view source) {
    // Drivers and kernel names of the Windows and Apple formats, and FUSE layers that fold on
    // purpose (ciopfs) or sit on FAT (posixovl).
    static constexpr std::string_view kFolding[] = {
        "vfat", "msdos",   "fat",  "exfat", "ntfs",  "ntfs-3g",  "lowntfs-3g", "fusefat",  "exfat-fuse",
        "hfs",  "hfsplus", "cifs", "smb3",  "smbfs", "smbnetfs", "ciopfs",     "posixovl",
    };
    const auto known = [](std::string_view name) {
        for (std::string_view f : kFolding)
            if (name == f) return true;
        return false;
    };
    std::string_view subtype;
    if (fsType.starts_with("fuseblk")) {
        subtype = fsType.substr(7);
    } else if (fsType.starts_with("fuse")) {
        subtype = fsType.substr(4);
    } else {
        return known(fsType);
    }
    if (!subtype.empty()) return subtype[0] == '.' && known(subtype.substr(1));
    // No subtype in the type: older FUSE writes "subtype#device" as the source, many drivers their
    // own name. A disk (a block device, always for fuseblk) through FUSE is in practice NTFS,
    // exFAT or FAT.
    if (fsType == "fuseblk") return true;
    const std::size_t hash = source.find('#');
    if (hash != std::string_view::npos) return known(source.substr(0, hash));
    return source.starts_with("/dev/") || known(source);
}

bool mountOfDevice(std::string_view mountInfo, dev_t dev, std::string_view& fsType, std::string_view& source) {
    const std::string wanted = std::to_string(major(dev)) + ":" + std::to_string(minor(dev));
    bool found = false;
    std::size_t from = 0;
    while (from < mountInfo.size()) {
        std::size_t end = mountInfo.find('\n', from);
        if (end == std::string_view::npos) end = mountInfo.size();
        const std::string_view line = mountInfo.substr(from, end - from);
        from = end + 1;
        std::size_t at = 0;
        field(line, at);  // mount id
        field(line, at);  // parent id
        if (field(line, at) != wanted) continue;
        const std::size_t dash = line.find(" - ", at);
        if (dash == std::string_view::npos) continue;
        at = dash + 3;
        const std::string_view type = field(line, at);
        const std::string_view src = field(line, at);
        if (type.empty()) continue;
        fsType = type;  // a later line of the same device (a bind mount) is the same file system
        source = src;
        found = true;
    }
    return found;
}

}  // namespace zelvar
