#pragma once
// Listing one folder: names are kept as their bytes on disk for every file-system call and decoded
// losslessly (engine/text.h) for the engine. "." and ".." are never entries; names beginning with "."
// are listed like any other. A symbolic link counts as what it points to (a dangling one is a file)
// but is never followed otherwise. A listing that fails part-way keeps the entries read so far; an
// entry that vanishes while the folder is read is left out.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/datetime.h"
#include "engine/options.h"
#include "engine/text.h"
#include "platform/failure.h"
#include "platform/metadata.h"
#include "platform/name_mask.h"
#include "platform/name_table.h"

namespace zelvar {

inline constexpr std::size_t kMaxEntries = 32767;

// A modification time as a time point: seconds and nanoseconds, so that no year overflows it.
struct FileTime {
    std::int64_t sec = 0;
    std::int64_t nsec = 0;
    auto operator<=>(const FileTime&) const = default;
};

struct ListedEntry {
    std::string name;       // bytes on disk
    bool isDir = false;     // a link counts as its target
    bool regular = false;   // a regular file (a link: its target), the only kind whose content is read
    FileTime mtime;         // modification time, for ordering (0 when unreadable); a working
                            // link's is its target's, a dangling link's its own
    DateTime date;          // the same as local civil time; the zero date-time when unreadable
    EntryId id;             // the entry itself, a link not followed
    std::int64_t size = 0;  // in bytes, with the date (0 when unreadable)
};

struct Listing {
    std::string folder;                // the folder as given
    EntryId folderId;                  // the folder listed itself
    std::vector<ListedEntry> entries;  // matching entries of the requested kind, in directory order
    bool truncated = false;            // more than the limit matched; entries holds the first ones
    std::optional<Failure> failure;    // the folder could not be opened or read to its end
    // Every entry of the folder whatever its kind or name, for the existence test of new names.
    NameTable allNames;
    bool caseInsensitive = false;  // the folder's file system folds letter case
    std::size_t nameMax = 255;     // the longest name in bytes the folder's file system takes
    // An entry that passed the filter can change through another path than this folder: a symbolic
    // link (it counts as its target) or a file with several hard links.
    bool changesElsewhere = false;
    // Every name in lower case and its entry. FUSE file systems may number an entry afresh for each
    // spelling of its name, so a hit is matched to a listed entry by name.
    NameTable byFoldedName;
    // By entry, once readDatesTaken (platform/dates_taken.h) has read them: when each was taken.
    std::vector<std::optional<DateTaken>> taken;
    bool takenRead = false;

    // The entry that a new name would hit, if any: exact bytes first; on a case-insensitive
    // file system the lookup asks the file system itself, elsewhere a name that differs only in
    // letter case counts too.
    std::optional<EntryId> existing(const std::string& name) const;
};

// Folder path plus one "/" (a root "/" gets no second one).
std::string folderPrefix(const std::string& folder);

// optFile: which kinds of entry (Soubory: everything that is not a folder). At most `limit` entries are
// kept; `truncated` tells that more matched.
// Without `dates`, an entry whose kind the folder itself tells is not asked about at all, which
// saves a system call per entry: its date and mtime stay zero, its id is the folder's device with
// the inode the folder lists, a second hard link does not set changesElsewhere, and an entry that
// vanishes meanwhile is still listed. Links and entries of unknown kind are asked as always.
Listing listFolder(const std::string& folder, const Text& masks, File optFile, std::size_t limit = kMaxEntries,
                   bool dates = true);
// The same for a folder already open (any descriptor of it, also O_PATH); `folder` is its path,
// kept for the lookups of new names. The descriptor stays open and unmoved.
Listing listFolderAt(int folderFd, const std::string& folder, const Text& masks, File optFile,
                     std::size_t limit = kMaxEntries, bool dates = true);

// How many threads inspect a big folder's entries when a listing stats every one: `threads` at most
// (0: one per core) and only so many that each has `perThread` entries. The listing is the same
// whatever the setting; tests set it to compare.
void setListingThreads(unsigned threads, std::size_t perThread = 1024);
// How many threads share `entries` pieces of work of which each thread should have `perThread`,
// under the same setting.
unsigned listingThreadsFor(std::size_t entries, std::size_t perThread);

// Whether `path` still leads to the folder that was listed as `listed` (a folder that was replaced,
// moved away or swapped for a link to another one does not).
bool sameFolder(const std::string& path, const EntryId& listed);

}  // namespace zelvar
