#include "preview/builder.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string_view>
#include <unordered_map>

#include "platform/listing.h"
#include "platform/parallel.h"
#include "preview/compose.h"
#include "preview/name_ids.h"

namespace zelvar {

namespace {

// Counter values, start and step are signed 16-bit numbers.
constexpr long long kMaxSmall = 32767;

// floor, then the absolute value; nothing when the result does not fit.
std::optional<int> wholeSmall(const Text& text) {
    const double v = std::fabs(std::floor(numericValue(text)));
    if (!(v <= static_cast<double>(kMaxSmall))) return std::nullopt;
    return static_cast<int>(v);
}

// Nothing before the first ".": no name a file can carry.
bool emptyStem(const Text& name) { return name.empty() || name.front() == U'.'; }

struct Group {
    int prvni;        // row of the group's first member
    long long pocet;  // number given to the group's latest member
};

// What the build knows about one name (letter case aside). What few names have (further rows that
// end with it, a "Jen stejné" group) is kept beside it, so the table of every name stays small.
struct NameUse {
    int laterOld = -1;    // the next row (after the current one) that has it as old name
    int firstFinal = -1;  // the first row that ends with it
    int guarded = -1;     // the first row that ends with it after the closing guard
};

// Gives a vector's memory back (clear() keeps it).
template <class T>
void release(std::vector<T>& v) {
    std::vector<T>().swap(v);
}

// Runs body(i) for every row i on one thread per core, in batches of rows.
template <class Body>
void forEachRow(int n, const Body& body) {
    const auto rows = static_cast<std::size_t>(n);
    forEachIndex(rows, listingThreadsFor(rows, 1024), 256, [&](std::size_t i) { body(static_cast<int>(i)); });
}

// One build's working state for the steps after the ordering.
class Namer {
public:
    Namer(std::vector<ZaznamSouboru> records, const RenameOptions& options, const CounterSetup& counter,
          const ComposeName& compose, std::size_t nameMax)
        : records_(std::move(records)), options_(options), counter_(counter), compose_(compose), nameMax_(nameMax),
          n_(static_cast<int>(records_.size())), newNames_(n_), verdicts_(n_, Verdict::usable),
          ids_(2 * records_.size(), [this](std::uint32_t where) { return nameAt(where); }), oldId_(n_),
          finalId_(n_, -1), nextOld_(n_, -1) {
        uses_.reserve(2 * records_.size());
        // Hashed on every core, interned in row order.
        std::vector<std::uint64_t> hashes(n_);
        forEachRow(n_, [&](int i) { hashes[i] = NameIds::hash(oldName(i)); });
        for (int i = 0; i < n_; ++i) oldId_[i] = oldNameId(i, hashes[i]);
        // Chain the rows of each old name, first row first.
        for (int i = n_ - 1; i >= 0; --i) {
            nextOld_[i] = uses_[oldId_[i]].laterOld;
            uses_[oldId_[i]].laterOld = i;
        }
    }

    void nameAll() {
        const bool sameStemSkip =
            options_.optCitac == Citac::Citac && counter_.inPattern && options_.chkStejnePripony != 0;
        std::vector<long long> values(n_);
        int k = 0;
        for (int i = 0; i < n_; ++i) {
            if (sameStemSkip && i > 0 && records_[i - 1].Jmeno() == records_[i].Jmeno()) ++k;
            values[i] = counter_.start + static_cast<long long>(counter_.step) * (i - k);
        }
        composeAll(values);
        for (int i = 0; i < n_; ++i) {
            nameRow(i);
            NameUse& use = uses_[finalId_[i]];
            if (use.firstFinal < 0)
                use.firstFinal = i;
            else
                moreFinal_[finalId_[i]].push_back(i);
        }
    }

    // The first member of each "Jen stejné" group is numbered 0 after all ("i nula").
    // The name table is not asked after this step: it may still point at the texts replaced here.
    void zeroForFirsts() {
        if (options_.optCitac != Citac::JenStejne || !counter_.inPattern || options_.chkINula == 0) return;
        std::vector<Text> zeros;
        zeros.reserve(groups_.size());
        for (const Group& g : groups_) zeros.push_back(compose_(records_[g.prvni], 0, true));
        // Ids first, while every text the table points at is still in place.
        std::vector<std::optional<Verdict>> refused(groups_.size());
        for (std::size_t k = 0; k < groups_.size(); ++k) {
            refused[k] = unusable(zeros[k]);
            if (!refused[k]) finalId_[groups_[k].prvni] = idOfCopy(zeros[k]);
        }
        for (std::size_t k = 0; k < groups_.size(); ++k) {
            const int i = groups_[k].prvni;
            if (refused[k]) {
                mark(i, *refused[k]);
                continue;
            }
            newNames_[i] = std::move(zeros[k]);
            verdicts_[i] = Verdict::usable;
        }
    }

    void markPresent(const FindEntry& existing) {
        // The folder is asked on one thread per core; a lookup is a few allocations and cache misses.
        std::vector<std::optional<EntryId>> hits(n_);
        forEachRow(n_, [&](int i) {
            if (!marked(i)) hits[i] = existing(newNames_[i]);
        });
        for (int i = 0; i < n_; ++i) {
            if (marked(i)) continue;
            const std::optional<EntryId>& hit = hits[i];
            // Only the row's own entry, reached through a change of letter case, is no obstacle.
            if (!hit || (*hit == records_[i].id && finalId_[i] == oldId_[i])) continue;
            mark(i, Verdict::exists, newNames_[i]);
        }
    }

    // Whatever the scans let through: a usable name that renames nothing, or one that an earlier
    // row already ends with.
    void guard() {
        for (int i = 0; i < n_; ++i) {
            if (!marked(i)) {
                if (newNames_[i] == oldName(i)) {
                    mark(i, Verdict::unchanged);
                } else if (const int j = uses_[finalId_[i]].guarded; j >= 0) {
                    mark(i, Verdict::clashAbove, finalName(j));
                }
            }
            NameUse& use = uses_[finalId_[i]];
            if (use.guarded < 0) use.guarded = i;
        }
    }

    // The rows are made only now, once the tables and the records are gone: a build of a big
    // folder is at its largest while it names, and a row has room for an old name that the naming
    // keeps in its record.
    NamedRows result() {
        release(uses_), release(oldId_), release(finalId_), release(nextOld_), release(newHashes_);
        ids_ = NameIds(0, {});
        std::vector<Text> oldNames(n_);
        for (int i = 0; i < n_; ++i) oldNames[i] = std::move(records_[i].name);
        release(records_);
        NamedRows out;
        out.rows.resize(n_);
        for (int i = 0; i < n_; ++i) {
            out.rows[i] = {std::move(oldNames[i]), std::move(newNames_[i]), verdicts_[i]};
            out.unchanged += marked(i) ? 1 : 0;
        }
        return out;
    }

private:
    // Until the result is made, a row's old name is its record's.
    const Text& oldName(int i) const { return records_[i].name; }
    bool marked(int i) const { return verdicts_[i] != Verdict::usable; }
    const Text& finalName(int i) const { return marked(i) ? oldName(i) : newNames_[i]; }

    // Where a name of an id lies: 2i is row i's old name, 2i + 1 its new name, 2n + k the k-th copy.
    // Old names never change, and a row's new name stays as it is from the end of its naming step
    // until the zero step, after which the table is not asked.
    NameIds::Key nameAt(std::uint32_t where) const {
        const std::size_t row = where / 2;
        if (row >= records_.size()) return copies_[where - 2 * records_.size()];
        return where % 2 ? NameIds::Key(newNames_[row]) : NameIds::Key(oldName(static_cast<int>(row)));
    }
    int oldNameId(int i, std::uint64_t hash) {
        return withUse(ids_.intern(oldName(i), 2 * static_cast<std::uint32_t>(i), hash));
    }
    int newNameId(int i, std::uint64_t hash) {
        return withUse(ids_.intern(newNames_[i], 2 * static_cast<std::uint32_t>(i) + 1, hash));
    }
    // For a name that may change: the table's id then points at a copy when the name is new.
    int idOfCopy(const Text& name) {
        // The copy is there before the table may ask for it (it does when it grows).
        copies_.push_back(name);
        const std::size_t before = ids_.size();
        const int id =
            ids_.intern(copies_.back(), static_cast<std::uint32_t>(2 * records_.size() + copies_.size() - 1));
        if (ids_.size() == before) copies_.pop_back();
        return withUse(id);
    }
    int withUse(int id) {
        if (static_cast<std::size_t>(id) == uses_.size()) uses_.emplace_back();
        return id;
    }

    // A marked row keeps only the name involved, if any: its composed name may be long.
    void mark(int i, Verdict verdict, Text involved = Text()) {
        // Swapped, not moved: a short string moved in would leave the long name's memory in place.
        Text(std::move(involved)).swap(newNames_[i]);
        verdicts_[i] = verdict;
        finalId_[i] = oldId_[i];
    }

    // Every row's name as the pattern makes it, on one thread per core: composing is most of a
    // build's work, and a name depends on its own row and counter value alone. A counter value past
    // the 16-bit range makes no name at all. What a name is by itself (unusable, unchanged) is told
    // at once, on the thread that made it, so that a long name leaves no memory behind.
    void composeAll(const std::vector<long long>& values) {
        newHashes_.resize(n_);
        forEachRow(n_, [&](int i) {
            finalId_[i] = oldId_[i];
            if (values[i] <= kMaxSmall) newNames_[i] = compose_(records_[i], static_cast<double>(values[i]), false);
            if (const auto refused = unusable(newNames_[i])) return mark(i, *refused);
            if (newNames_[i] == oldName(i)) return mark(i, Verdict::unchanged);
            newHashes_[i] = NameIds::hash(newNames_[i]);
        });
    }

    void nameRow(int i) {
        if (marked(i)) return;
        const Text& newName = newNames_[i];
        std::uint64_t hash = newHashes_[i];
        int id = ids_.find(newName, hash);
        if (options_.optCitac == Citac::JenStejne) {
            // Without a counter the number changes no name and the groups serve nothing (the
            // zero step needs a counter too): every earlier match leaves the name as it is.
            if (counter_.inPattern) id = renumber(i, id, hash);
            // A number written into the name may empty its stem or make it too long.
            if (const auto refused = unusable(newName)) return mark(i, *refused);
        } else if (id >= 0 && uses_[id].firstFinal >= 0) {
            return mark(i, Verdict::clashAbove, finalName(uses_[id].firstFinal));
        }
        if (const int j = id >= 0 ? laterOld(id, i) : -1; j >= 0) return mark(i, Verdict::clashBelow, oldName(j));
        finalId_[i] = id >= 0 ? id : newNameId(i, hash);
    }

    std::optional<Verdict> unusable(const Text& name) const {
        if (emptyStem(name)) return Verdict::emptyName;
        // No character takes more than four bytes, so most names need no counting.
        if (name.size() * 4 > nameMax_ && utf8Size(name) > nameMax_) return Verdict::tooLong;
        return std::nullopt;
    }

    // "Jen stejné": every earlier row whose final name the new name meets, in row order, numbers
    // it anew from its group, and the walk goes on from that row with the new name. `hash` follows
    // the row's name.
    int renumber(int i, int id, std::uint64_t& hash) {
        int from = -1;
        for (;;) {
            if (id < 0) return id;
            const int j = finalAfter(id, from);
            if (j < 0) return id;
            const auto [group, isNew] = groupOf_.try_emplace(id, static_cast<int>(groups_.size()));
            if (isNew) groups_.push_back({j, 0});
            Group& g = groups_[group->second];
            ++g.pocet;
            newNames_[i] = compose_(records_[i], static_cast<double>(g.pocet), true);
            // An unusable name ends the walk; the caller marks the row.
            if (unusable(newNames_[i])) return -1;
            hash = NameIds::hash(newNames_[i]);
            id = ids_.find(newNames_[i], hash);
            from = j;
        }
    }

    // The first row after `row` whose old name has the id. Asked with rising rows only, so the
    // chain is consumed as it goes.
    int laterOld(int id, int row) {
        int& next = uses_[id].laterOld;
        while (next >= 0 && next <= row) next = nextOld_[next];
        return next;
    }

    // The first earlier row after `from` that ends with the name of the id, -1 when none.
    int finalAfter(int id, int from) const {
        const NameUse& use = uses_[id];
        if (use.firstFinal > from) return use.firstFinal;
        const auto further = moreFinal_.find(id);
        if (further == moreFinal_.end()) return -1;
        const std::vector<int>& more = further->second;
        const auto it = std::upper_bound(more.begin(), more.end(), from);
        return it == more.end() ? -1 : *it;
    }

    std::vector<ZaznamSouboru> records_;
    const RenameOptions& options_;
    const CounterSetup& counter_;
    const ComposeName& compose_;
    const std::size_t nameMax_;
    const int n_;
    std::vector<Text> newNames_;            // by row: as a preview row's newName
    std::vector<std::uint64_t> newHashes_;  // by row: of the name composed first
    std::vector<Verdict> verdicts_;         // by row
    NameIds ids_;
    std::vector<NameUse> uses_;                            // by name id
    std::unordered_map<int, std::vector<int>> moreFinal_;  // by name id: the rows after firstFinal
    std::unordered_map<int, int> groupOf_;                 // by name id: its group in groups_
    std::vector<int> oldId_;                               // by row: id of the lower-cased old name
    std::vector<int> finalId_;                             // by row: id of the lower-cased final name
    std::vector<int> nextOld_;                             // by row: the next row with the same old name id
    std::vector<Group> groups_;
    std::vector<Text> copies_;  // names of the zero step that no row holds while the table is asked
};

}  // namespace

CounterSetup counterSetup(const RenameOptions& options, const CompiledPatterns& patterns) {
    CounterSetup c;
    c.inPattern = patterns.jmeno.Citac || patterns.ext.Citac;
    c.active = c.inPattern && options.optCitac != Citac::Zachovat;
    if (!c.active) return c;
    c.start = wholeSmall(options.txtCisloOd).value_or(0);
    c.step = std::max(wholeSmall(options.txtDif).value_or(0), 1);
    return c;
}

NamedRows nameRows(std::vector<ZaznamSouboru> records, const RenameOptions& options, const CounterSetup& counter,
                   const ComposeName& compose, const FindEntry& existing, std::size_t nameMax) {
    Namer namer(std::move(records), options, counter, compose, nameMax);
    namer.nameAll();
    namer.zeroForFirsts();
    namer.markPresent(existing);
    namer.guard();
    return namer.result();
}

Text statsText(int n, int unchanged) {
    return U"Počet zpracovaných souborů: " + decimal(n) + U"\r\nPočet přejmenování: " + decimal(n - unchanged) +
           U"\r\nPočet beze změny: " + decimal(unchanged);
}

namespace {

// A civil date and time as seconds since 1970-01-01 00:00 of the same clock, for ordering.
std::int64_t civilSeconds(const DateTime& d) {
    const std::int64_t y = d.month <= 2 ? d.year - 1 : d.year;
    const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
    const std::int64_t yoe = y - era * 400;
    const std::int64_t mp = (d.month + 9) % 12;
    const std::int64_t doy = (153 * mp + 2) / 5 + d.day - 1;
    const std::int64_t doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    const std::int64_t days = era * 146097 + doe - 719468;
    return days * 86400 + d.hour * 3600 + d.minute * 60 + d.second;
}

// The records in the order of the sort options; `kept`, when given, keeps the order for the next
// build of the same listing. `taken`: the records are dated by the dates taken.
void putInPreviewOrder(std::vector<ZaznamSouboru>& records, const RenameOptions& options, KeptOrder* kept, bool taken) {
    const Razeni sortKey = options.optRazeni;
    const bool reverse = options.chkObracene != 0, numeric = options.chkCisla != 0;
    if (!kept) {
        Serad(records, sortKey, reverse, numeric);
        return;
    }
    if (kept->sortKey != sortKey || kept->reverse != reverse || kept->numeric != numeric ||
        kept->order.size() != records.size() || (sortKey == Razeni::Datum && kept->taken != taken))
        *kept = {sortKey, reverse, numeric, sortOrder(records, sortKey, reverse, numeric), taken};
    putInOrder(records, kept->order);
}

// The build over a listing; `spent`, when given, is the same listing, whose entries may go once
// they have been copied.
PreviewResult rowsOf(const Listing& listing, Listing* spent, const RenameOptions& options,
                     const CompiledPatterns& patterns, KeptOrder* kept, std::vector<Text>* names = nullptr) {
    PreviewResult result;
    const CounterSetup counter = counterSetup(options, patterns);
    if (counter.active) result.stepText = decimal(counter.step);

    result.truncated = listing.truncated;
    result.listingFailure = listing.failure;
    result.nameMax = listing.nameMax;
    result.folderId = listing.folderId;

    std::vector<ZaznamSouboru> records(listing.entries.size());
    const bool decoded = names && names->size() == records.size();
    const bool taken = options.optDatum == Datum::Porizeni && listing.takenRead &&
                       listing.taken.size() == records.size() &&
                       (options.optRazeni == Razeni::Datum || writesDates(patterns));
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ListedEntry& e = listing.entries[i];
        ZaznamSouboru& r = records[i];
        r.setName(decoded ? std::move((*names)[i]) : fromUtf8(e.name));
        r.Datum = e.date;
        r.mtime = e.mtime;
        r.isDir = e.isDir;
        r.id = e.id;
        if (!taken) continue;
        // Dates taken are wall-clock times as recorded, so the order of them all is that of the
        // local times, with the modification date of an entry without one as it is shown.
        if (const auto& t = listing.taken[i]) {
            r.Datum = t->date;
            r.mtime = {civilSeconds(t->date), t->subsecond};
        } else {
            ++result.missingTaken;
            r.mtime = {civilSeconds(e.date), e.mtime.nsec};
        }
    }
    if (spent) std::vector<ListedEntry>().swap(spent->entries);
    putInPreviewOrder(records, options, kept, taken);

    // Names are compared as they will land on disk. A name far longer than the folder's limit is
    // not written out in full: it is too long either way.
    const NameLimits limits = nameLimits(options, listing.nameMax);
    const ComposeName compose = [&](const ZaznamSouboru& r, double N, bool pocitat) {
        thread_local Text scratch;  // names are composed on several threads
        NoveJmenoStr(scratch, r.Jmeno(), r.Pripona(), N, r.Datum, pocitat, options, patterns, limits);
        canonicalise(scratch);
        // The rows keep their names as long as the preview lives: a copy has no room to grow.
        return Text(scratch);
    };
    const FindEntry existing = [&](const Text& name) { return listing.existing(toUtf8(name)); };
    NamedRows named = nameRows(std::move(records), options, counter, compose, existing, listing.nameMax);

    result.rows = std::move(named.rows);
    result.unchanged = named.unchanged;
    result.stats = statsText(static_cast<int>(result.rows.size()), result.unchanged);
    return result;
}

}  // namespace

PreviewResult buildPreview(const Listing& listing, const RenameOptions& options, const CompiledPatterns& patterns) {
    return rowsOf(listing, nullptr, options, patterns, nullptr);
}

PreviewResult buildPreview(Listing&& listing, const RenameOptions& options, const CompiledPatterns& patterns) {
    return rowsOf(listing, &listing, options, patterns, nullptr);
}

PreviewResult buildPreview(const Listing& listing, const RenameOptions& options, const CompiledPatterns& patterns,
                           KeptOrder& kept, std::vector<Text> names) {
    return rowsOf(listing, nullptr, options, patterns, &kept, &names);
}

}  // namespace zelvar
