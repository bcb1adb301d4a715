#pragma once
// The dates taken of a listing's entries, read on one thread per core as the listing inspects its
// entries. An entry that an earlier listing of the same folder already dated keeps that date
// without its file being opened again, while its inode, size and modification time are the same.
// (A sidecar changed alone goes unseen until its photo changes or the folder is opened anew.)
#include <cstddef>

#include "platform/listing.h"

namespace zelvar {

// Fills listing.taken; folders and files without a date taken get none. folderFd is the folder open
// (any descriptor of it, O_PATH too); -1 opens listing.folder. `previous`, when given, is an earlier
// listing whose dates were read in the same time zone; it serves only if it is of the same folder.
void readDatesTaken(Listing& listing, int folderFd = -1, const Listing* previous = nullptr);

// How many files readDatesTaken has opened in this process, for tests and benchmarks.
std::size_t datesTakenOpened();

}  // namespace zelvar
