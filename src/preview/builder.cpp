#include "preview/builder.h"

#include <algorithm>
#include <cmath>
#include <string_view>
#include <unordered_map>

#include "preview/compose.h"

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

void mark(PreviewEntry& row, Text text) {
    row.newName = std::move(text);
    row.marker = true;
}

// Nothing before the first ".": no name a file can carry.
bool emptyStem(const Text& name) { return name.empty() || name.front() == U'.'; }

using Key = std::u32string_view;
// Rows filed under a lower-cased name, ascending. The keys point into texts that outlive the map.
using RowsByKey = std::unordered_map<Key, std::vector<int>>;

// The first row after `after` filed under `key`; the returned iterator range holds it and every
// further one.
std::pair<std::vector<int>::const_iterator, std::vector<int>::const_iterator>
rowsAfter(const RowsByKey& index, Key key, int after) {
    const auto it = index.find(key);
    if (it == index.end()) return {};
    const auto& list = it->second;
    return {std::upper_bound(list.begin(), list.end(), after), list.end()};
}

struct Group {
    int prvni;        // row of the group's first member
    long long pocet;  // number given to the group's latest member
};

// One build's working state for the steps after the ordering.
class Namer {
public:
    Namer(const std::vector<ZaznamSouboru>& records, const RenameOptions& options,
          const CounterSetup& counter, const ComposeName& compose)
        : records_(records), options_(options), counter_(counter), compose_(compose),
          n_(static_cast<int>(records.size())), lowerOld_(n_), lowerFinal_(n_) {
        rows_.resize(n_);
        laterByOld_.reserve(n_);
        earlierByFinal_.reserve(n_);
        for (int i = 0; i < n_; ++i) {
            const auto& r = records_[i];
            rows_[i].oldName = r.Pripona.empty() ? r.Jmeno : r.Jmeno + U'.' + r.Pripona;
            lowerOld_[i] = toLower(rows_[i].oldName);
            laterByOld_[lowerOld_[i]].push_back(i);
        }
    }

    void nameAll() {
        const bool sameStemSkip =
            options_.optCitac == 0 && counter_.inPattern && options_.chkStejnePripony != 0;
        int k = 0;
        for (int i = 0; i < n_; ++i) {
            if (sameStemSkip && i > 0 && records_[i - 1].Jmeno == records_[i].Jmeno) ++k;
            nameRow(i, counter_.start + static_cast<long long>(counter_.step) * (i - k));
            lowerFinal_[i] = toLower(rows_[i].finalName());
            earlierByFinal_[lowerFinal_[i]].push_back(i);
        }
    }

    // The first member of each "Jen stejné" group is numbered 0 after all ("i nula").
    void zeroForFirsts() {
        if (options_.optCitac != 1 || !counter_.inPattern || options_.chkINula == 0) return;
        for (const Group& g : groups_) {
            PreviewEntry& row = rows_[g.prvni];
            row.newName = compose_(records_[g.prvni], 0, true);
            row.marker = false;
        }
    }

    void markPresent(const FindEntry& existing) {
        for (int i = 0; i < n_; ++i) {
            PreviewEntry& row = rows_[i];
            if (row.marker) continue;
            const auto hit = existing(row.newName);
            if (!hit) continue;
            // Only the row's own entry, reached through a change of letter case, is no obstacle.
            if (*hit == records_[i].id && toLower(row.newName) == lowerOld_[i]) continue;
            mark(row, markExistuje(row.newName));
        }
    }

    // Whatever the scans let through: a usable name that renames nothing, or one that an earlier
    // row already ends with.
    void guard() {
        std::unordered_map<Text, int> firstByFinal;
        firstByFinal.reserve(n_);
        for (int i = 0; i < n_; ++i) {
            PreviewEntry& row = rows_[i];
            if (!row.marker) {
                if (row.newName == row.oldName) {
                    mark(row, kMarkBezeZmeny);
                } else if (const auto it = firstByFinal.find(toLower(row.newName));
                           it != firstByFinal.end()) {
                    mark(row, markVyse(rows_[it->second].finalName()));
                }
            }
            firstByFinal.emplace(toLower(row.finalName()), i);
        }
    }

    NamedRows result() {
        NamedRows out;
        out.unchanged = static_cast<int>(
            std::count_if(rows_.begin(), rows_.end(), [](const PreviewEntry& r) { return r.marker; }));
        out.rows = std::move(rows_);
        return out;
    }

private:
    void nameRow(int i, long long counterValue) {
        PreviewEntry& row = rows_[i];
        const auto& rec = records_[i];
        // A counter value past the 16-bit range makes no name at all.
        if (counterValue <= kMaxSmall) row.newName = compose_(rec, static_cast<double>(counterValue), false);
        if (emptyStem(row.newName)) return mark(row, kMarkPrazdne);
        if (row.newName == row.oldName) return mark(row, kMarkBezeZmeny);

        Text key = toLower(row.newName);
        if (options_.optCitac == 1) {
            renumber(i, key);
        } else if (const auto [first, end] = rowsAfter(earlierByFinal_, key, -1); first != end) {
            return mark(row, markVyse(rows_[*first].finalName()));
        }
        if (const auto [first, end] = rowsAfter(laterByOld_, key, i); first != end) {
            mark(row, markNize(rows_[*first].oldName));
        }
    }

    // "Jen stejné": every earlier row whose final name the new name meets, in row order, numbers
    // it anew from its group, and the walk goes on from that row with the new name.
    void renumber(int i, Text& key) {
        PreviewEntry& row = rows_[i];
        int from = -1;
        for (;;) {
            const auto [first, end] = rowsAfter(earlierByFinal_, key, from);
            if (first == end) return;
            const int j = *first;
            auto [slot, fresh] = groupByKey_.try_emplace(key, static_cast<int>(groups_.size()));
            if (fresh) groups_.push_back({j, 0});
            Group& g = groups_[slot->second];
            if (!counter_.inPattern) {
                // The name cannot change with the number: every further match only counts.
                g.pocet += end - first;
                return;
            }
            ++g.pocet;
            row.newName = compose_(records_[i], static_cast<double>(g.pocet), true);
            key = toLower(row.newName);
            from = j;
        }
    }

    const std::vector<ZaznamSouboru>& records_;
    const RenameOptions& options_;
    const CounterSetup& counter_;
    const ComposeName& compose_;
    const int n_;
    PreviewList rows_;
    std::vector<Text> lowerOld_;    // fixed size: the keys below point into these texts
    std::vector<Text> lowerFinal_;
    RowsByKey laterByOld_;
    RowsByKey earlierByFinal_;
    std::unordered_map<Text, int> groupByKey_;
    std::vector<Group> groups_;
};

}  // namespace

CounterSetup counterSetup(const RenameOptions& options, const CompiledPatterns& patterns) {
    CounterSetup c;
    c.inPattern = patterns.jmeno.Citac || patterns.ext.Citac;
    c.active = c.inPattern && (options.optCitac == 0 || options.optCitac == 1);
    if (!c.active) return c;
    c.start = wholeSmall(options.txtCisloOd).value_or(0);
    c.step = std::max(wholeSmall(options.txtDif).value_or(0), 1);
    return c;
}

void splitEntryName(const Text& name, Text& jmeno, Text& pripona) {
    const std::size_t p = PosledniTecka(name);
    if (p > 1 && p < name.size()) {
        jmeno = name.substr(0, p - 1);
        pripona = name.substr(p);
    } else {
        jmeno = name;
        pripona.clear();
    }
}

NamedRows nameRows(const std::vector<ZaznamSouboru>& records, const RenameOptions& options,
                   const CounterSetup& counter, const ComposeName& compose,
                   const FindEntry& existing) {
    Namer namer(records, options, counter, compose);
    namer.nameAll();
    namer.zeroForFirsts();
    namer.markPresent(existing);
    namer.guard();
    return namer.result();
}

Text statsText(int n, int unchanged) {
    return U"Počet zpracovaných souborů: " + decimal(n) + U"\r\nPočet přejmenování: " +
           decimal(n - unchanged) + U"\r\nPočet beze změny: " + decimal(unchanged);
}

PreviewResult Test(const std::string& folder, const RenameOptions& options,
                   const CompiledPatterns& patterns, bool rucniEditace) {
    // Manual editing changes nothing here: the caller lays its edit box over these rows.
    (void)rucniEditace;
    PreviewResult result;
    const CounterSetup counter = counterSetup(options, patterns);
    if (counter.active) result.stepText = decimal(counter.step);

    Listing listing = listFolder(folder, options.txtVyhlFiltr, options.optFile);
    result.truncated = listing.truncated;
    result.listingFailed = listing.failed;
    result.listingError = listing.error;

    std::vector<ZaznamSouboru> records(listing.entries.size());
    for (std::size_t i = 0; i < records.size(); ++i) {
        const ListedEntry& e = listing.entries[i];
        ZaznamSouboru& r = records[i];
        r.name = fromUtf8(e.name);
        splitEntryName(r.name, r.Jmeno, r.Pripona);
        r.Datum = e.date;
        r.mtimeNs = e.mtimeNs;
        r.isDir = e.isDir;
        r.id = e.id;
    }
    Serad(records, options.optRazeni, options.chkObracene != 0, options.chkCisla != 0);

    const ComposeName compose = [&](const ZaznamSouboru& r, double N, bool pocitat) {
        return NoveJmenoStr(r.Jmeno, r.Pripona, N, r.Datum, pocitat, options, patterns);
    };
    const FindEntry existing = [&](const Text& name) { return listing.existing(toUtf8(name)); };
    NamedRows named = nameRows(records, options, counter, compose, existing);

    result.rows = std::move(named.rows);
    result.unchanged = named.unchanged;
    result.text = previewText(result.rows);
    result.stats = statsText(static_cast<int>(result.rows.size()), result.unchanged);
    return result;
}

}  // namespace zelvar
