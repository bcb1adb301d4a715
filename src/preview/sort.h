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
    Text name;                   // the name on disk (lossless decoding of its bytes)
    std::uint32_t stemSize = 0;  // the length of Jmeno
    bool isDir = false;
    DateTime Datum;  // last change, local civil time
    FileTime mtime;  // the same as a time point, for ordering
    EntryId id;

    // Takes the name and splits it at its last ".". A name with no ".", a "." only in front
    // (".htaccess") or a "." as its last character ("abc.") has no extension and is its whole
    // Jmeno, so that Jmeno, "." and Pripona always give the name back.
    void setName(Text whole);
    // The name up to its last "." (all of it without an extension), and what follows that ".".
    // Views into the name, which is kept once: a build holds every record of the folder at once.
    std::u32string_view Jmeno() const { return std::u32string_view(name).substr(0, stemSize); }
    std::u32string_view Pripona() const {
        return stemSize < name.size() ? std::u32string_view(name).substr(stemSize + 1) : std::u32string_view();
    }
};

// chkCisla numeric, chkObracene reverse.
void Serad(std::vector<ZaznamSouboru>& list, Razeni sortKey, bool reverse, bool numeric);
// The same in two steps, so that an order can serve the same list again: the order Serad gives
// (order[k] is the index of the record that belongs at k), and the list put in an order.
std::vector<int> sortOrder(const std::vector<ZaznamSouboru>& list, Razeni sortKey, bool reverse, bool numeric);
void putInOrder(std::vector<ZaznamSouboru>& list, std::vector<int> order);
// Jmeno with its first digit run written as its value, digit for digit (no rounding), left-padded
// with zeros to `width` digits. Serad passes 30, or more when a run of the build has more
// significant digits, so that every key of one build orders by value.
Text CiselnyKlic(const ZaznamSouboru& record, std::size_t width = 30);

}  // namespace zelvar
