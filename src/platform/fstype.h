#pragma once
// Whether a folder's file system folds letter case: then "A.txt" and "a.txt" name one entry, and a
// change of case alone has to be made in two steps. Counting one too many costs a lookup per new
// name and a second step now and then; counting one too few makes a case change fail as taken.
#include <sys/types.h>

#include <cstdint>
#include <string_view>

namespace zelvar {

// The folder of an open descriptor: its file system type, and for FUSE its mount entry.
bool folderFoldsCase(int folderFd);

// Whether the file system keeps the permission bits an entry is made with: FAT and exFAT show every
// file with the one mode their mount gives.
bool folderKeepsModes(int folderFd);

// Whether the link counts the folder's file system shows are its own: not so through FUSE, whose
// servers may show them stale or hide links (bindfs --hide-hard-links).
bool folderCountsLinks(int folderFd);

// Whether every change on a file system of this type (statfs's f_type) passes through this kernel,
// stamped with this machine's clock: not so on network file systems (other machines), FUSE (a
// user-space server) and overlays (their lower layers change unseen).
bool changesOnlyHere(std::uint32_t fsType);

// A mount, by the file system type and source that /proc/self/mountinfo gives for it, whose file
// system folds case as it is usually mounted.
bool mountFoldsCase(std::string_view fsType, std::string_view source);

// The file system type and source of the mount of device `dev` in a mount table in the format of
// /proc/self/mountinfo, as written there; false when no line names that device.
bool mountOfDevice(std::string_view mountInfo, dev_t dev, std::string_view& fsType, std::string_view& source);

}  // namespace zelvar
