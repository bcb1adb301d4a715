#include "preview/rename_list.h"

#include <optional>
#include <unordered_map>

namespace zelvar {

namespace {

Text lineNumber(std::size_t n) { return U"řádek " + decimal(static_cast<long long>(n)) + U": "; }

}  // namespace

RenameList renameListBox(std::string_view bytes, const PreviewList& rows, const PreviewList* shown) {
    if (bytes.starts_with("\xEF\xBB\xBF")) bytes.remove_prefix(3);
    const Text text = fromUtf8(bytes);

    std::unordered_map<Text, std::size_t> rowOf;
    rowOf.reserve(rows.size());
    for (std::size_t k = 0; k < rows.size(); ++k) rowOf.emplace(rows[k].oldName, k);
    std::vector<std::optional<Text>> newNames(rows.size());
    std::unordered_map<Text, std::size_t> lineOf;  // each old name with the line that gave it first

    RenameList list;
    std::size_t number = 0;
    for (std::size_t start = 0; start < text.size();) {
        std::size_t end = text.find_first_of(U"\r\n", start);
        if (end == Text::npos) end = text.size();
        const Text line = text.substr(start, end - start);
        start = end + (end + 1 < text.size() && text[end] == U'\r' && text[end + 1] == U'\n' ? 2 : 1);
        ++number;
        if (line.empty()) continue;
        const std::size_t tab = line.find(U'\t');
        if (tab == Text::npos) {
            list.problems.push_back(lineNumber(number) + U"chybí tabulátor mezi starým a novým jménem");
            continue;
        }
        const Text oldName = line.substr(0, tab);
        if (const auto [first, fresh] = lineOf.try_emplace(oldName, number); !fresh) {
            list.problems.push_back(lineNumber(number) + U">" + oldName + U"< je v seznamu už na řádku " +
                                    decimal(static_cast<long long>(first->second)));
            continue;
        }
        const auto row = rowOf.find(oldName);
        if (row == rowOf.end()) {
            list.problems.push_back(lineNumber(number) + U">" + oldName + U"< ve složce není");
            continue;
        }
        newNames[row->second] = line.substr(tab + 1);
        ++list.matched;
    }
    const PreviewList& unlisted = shown ? *shown : rows;
    for (std::size_t k = 0; k < rows.size(); ++k)
        list.box += (newNames[k] ? *newNames[k] : unlisted[k].oldName) + U"\r\n";
    return list;
}

}  // namespace zelvar
