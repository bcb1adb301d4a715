// The manual-edit parser: the lines up to the first empty one are the old names of the rows, the
// rest of the input is the edit box as typed. Renaming the rows in order never aims at a name
// another row holds at that moment, and the count tells the rows really renamed.
#include <set>

#include "fuzz_input.h"
#include "preview/manual_edit.h"

using namespace zelvar;

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view all(reinterpret_cast<const char*>(data), size);
    const std::size_t split = all.find("\n\n");
    const fuzz::Input names(data, split == std::string_view::npos ? size : split);
    const std::string_view box = split == std::string_view::npos ? std::string_view() : all.substr(split + 2);

    PreviewList rows;
    std::set<std::string> taken;
    for (const std::string& line : names.lines) {
        std::string name = fuzz::withoutNul(line);
        std::erase(name, '/');
        if (name.empty() || name == "." || name == ".." || !taken.insert(name).second) continue;
        PreviewEntry row;
        row.oldName = row.newName = fromUtf8(name);
        rows.push_back(std::move(row));
    }
    const ManualEditResult result = txtEdit_Parse(fromUtf8(box), rows);
    fuzz::check(result.rows.size() == rows.size(), "a row per entry");
    fuzz::check(result.boxText.find_first_of(kZakazaneZnaky) == Text::npos, "the box keeps a forbidden character");

    int renamed = 0;
    for (std::size_t i = 0; i < result.rows.size(); ++i) {
        const PreviewEntry& row = result.rows[i];
        fuzz::check(row.oldName == rows[i].oldName, "an old name changed");
        if (row.finalName() == row.oldName) continue;
        ++renamed;
        const std::string oldBytes = toUtf8(row.oldName), newBytes = toUtf8(row.finalName());
        fuzz::check(fuzz::usableName(row.finalName()), "a renamed row gets an unusable name");
        fuzz::check(taken.count(newBytes) == 0, "a rename aims at a taken name");
        taken.erase(oldBytes);
        taken.insert(newBytes);
    }
    fuzz::check(renamed == result.renameCount, "the count is the rows renamed");
    return 0;
}
