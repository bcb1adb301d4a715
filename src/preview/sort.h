#pragma once
// Ordering the listed entries before any new name is made: by name, extension or date, numerically
// and in reverse, or left in listing order. Ties are broken by the exact name on disk, so the order
// never depends on the listing order, and the reverse order is exactly the ascending one reversed.
#include <cstdint>
#include <vector>

#include "engine/datetime.h"
#include "engine/text.h"
#include "platform/listing.h"

namespace zelvar {

// One listed entry inside one preview build.
struct ZaznamSouboru {
    Text Jmeno;      // the name up to its last "." (all of it without an extension)
    Text Pripona;    // after the last "."; Jmeno, "." and Pripona are the name on disk
    DateTime Datum;  // last change, local civil time
    FileTime mtime;  // the same as a time point, for ordering
    bool isDir = false;
    EntryId id;
};

// optRazeni: 0 name, 1 extension, 2 date, 3 none. chkCisla numeric, chkObracene reverse.
void Serad(std::vector<ZaznamSouboru>& list, int sortKey, bool reverse, bool numeric);
// Jmeno with its first digit run written as its value, digit for digit (no rounding), left-padded
// with zeros to `width` digits. Serad passes 30, or more when a run of the build has more
// significant digits, so that every key of one build orders by value.
Text CiselnyKlic(const ZaznamSouboru& record, std::size_t width = 30);

}  // namespace zelvar
