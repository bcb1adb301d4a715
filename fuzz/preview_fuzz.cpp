// The preview builder over a simulated folder: lines 8 on are its entries ("+" in front: an entry
// the filter left out, "/" in front: a folder). Renaming the rows in order never aims at a name
// that is taken at that moment, and every renamed row gets a name a folder can hold.
#include <set>
#include <unordered_map>

#include "fuzz_input.h"
#include "preview/builder.h"

using namespace zelvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const fuzz::Input in(data, size);
    const RenameOptions options = fuzz::options(in);
    const CompiledPatterns patterns = ZpracujFiltrVystupCely(options);

    std::unordered_map<std::string, EntryId> folder;  // every entry, by its bytes
    std::vector<ZaznamSouboru> records;
    for (std::size_t i = 8; i < in.lines.size() && records.size() < 200; ++i) {
        std::string name = in.line(i);
        const bool hidden = !name.empty() && name[0] == '+';
        const bool isDir = !name.empty() && name[0] == '/';
        if (hidden || isDir) name.erase(0, 1);
        name = fuzz::withoutNul(name);
        std::erase(name, '/');
        if (name.empty() || name == "." || name == ".." || folder.count(name)) continue;
        const EntryId id{1, static_cast<ino_t>(i)};
        folder.emplace(name, id);
        if (hidden) continue;
        ZaznamSouboru r;
        r.setName(fromUtf8(name));
        r.Datum = DateTime{1990 + static_cast<int>(i % 50),
                           1 + static_cast<int>(i % 12),
                           1 + static_cast<int>(i % 28),
                           static_cast<int>(i % 24),
                           0,
                           0};
        r.mtime = FileTime{static_cast<std::int64_t>(i % 7), 0};
        r.isDir = isDir;
        r.id = id;
        records.push_back(std::move(r));
    }
    Serad(records, options.optRazeni, options.chkObracene != 0, options.chkCisla != 0);

    const CounterSetup counter = counterSetup(options, patterns);
    // As the builder composes for a real folder: names as they will land on disk.
    const ComposeName compose = [&](const ZaznamSouboru& r, double N, bool pocitat) {
        Text name = NoveJmenoStr(r.Jmeno(), r.Pripona(), N, r.Datum, pocitat, options, patterns);
        canonicalise(name);
        return name;
    };
    const FindEntry existing = [&](const Text& name) -> std::optional<EntryId> {
        const auto it = folder.find(toUtf8(name));
        if (it == folder.end()) return std::nullopt;
        return it->second;
    };
    const NamedRows named = nameRows(records, options, counter, compose, existing);
    fuzz::check(named.rows.size() == records.size(), "a row per entry");

    int markers = 0;
    std::set<std::string> taken;
    for (const auto& entry : folder) taken.insert(entry.first);
    for (std::size_t i = 0; i < named.rows.size(); ++i) {
        const PreviewEntry& row = named.rows[i];
        // A row that keeps its name is not renamed: a marked row, or one the guard let through.
        if (row.finalName() == row.oldName) {
            ++markers;
            continue;
        }
        const std::string oldBytes = toUtf8(row.oldName), newBytes = toUtf8(row.finalName());
        fuzz::check(fuzz::usableName(row.finalName()) && newBytes.size() <= 255, "a renamed row gets an unusable name");
        fuzz::check(taken.count(oldBytes) == 1, "a row renames an entry that is not there");
        fuzz::check(taken.count(newBytes) == 0, "a rename aims at a taken name");
        taken.erase(oldBytes);
        taken.insert(newBytes);
    }
    fuzz::check(markers == named.unchanged, "unchanged counts the rows not renamed");
    return 0;
}
