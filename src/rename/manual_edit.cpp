#include "rename/manual_edit.h"

#include <algorithm>
#include <unordered_map>

#include "preview/compose.h"

namespace zelvar {

namespace {

// Cuts the next line off the rest of the box: up to a CR, which is taken to start a CR LF pair.
Text cutLine(Text& rest) {
    const std::size_t cr = rest.find(U'\r');
    if (cr == Text::npos) {
        Text line = trimSpaces(rest);
        rest.clear();
        return line;
    }
    Text line = trimSpaces(rest.substr(0, cr));
    rest = cr + 2 < rest.size() ? trimSpaces(rest.substr(cr + 2)) : Text();
    return line;
}

// The box cannot hold the characters a name may not contain, and its lines lose their outer blanks,
// but on this system an old name can have both. A line that is such an old name as the box shows it
// is what filling the box left there, not a name the user typed.
bool isUnchanged(const Text& line, const Text& oldName) {
    return line == oldName || line == trimSpaces(BezZakazanychZnaku(oldName));
}

void setUnchanged(PreviewEntry& row) {
    row.newName = kMarkBezeZmeny;
    row.marker = true;
}

// Rows j > k whose old name matches a lowered name: ascending row indices per lowered old name, so
// the first one past k is found without scanning the rest of the list on every keystroke.
class LaterOldNames {
public:
    explicit LaterOldNames(const PreviewList& rows) {
        for (std::size_t j = 0; j < rows.size(); ++j) byName_[toLower(rows[j].oldName)].push_back(j);
    }
    // Index of the first row after k whose lowered old name is `lowered`, or npos.
    std::size_t firstAfter(std::size_t k, const Text& lowered) const {
        const auto found = byName_.find(lowered);
        if (found == byName_.end()) return Text::npos;
        const auto& indices = found->second;
        const auto next = std::upper_bound(indices.begin(), indices.end(), k);
        return next == indices.end() ? Text::npos : *next;
    }

private:
    std::unordered_map<Text, std::vector<std::size_t>> byName_;
};

}  // namespace

ManualEditResult txtEdit_Parse(const Text& boxText, PreviewList rows) {
    ManualEditResult result;
    result.boxText = BezZakazanychZnaku(boxText);

    const LaterOldNames later(rows);
    // Lowered final names of the rows already parsed, each with the first row that carries it.
    std::unordered_map<Text, std::size_t> earlier;

    Text rest = result.boxText;
    std::size_t k = 0;
    for (; k < rows.size() && !rest.empty(); ++k) {
        PreviewEntry& row = rows[k];
        const Text line = cutLine(rest);
        if (line.empty() || isUnchanged(line, row.oldName)) {
            setUnchanged(row);
        } else {
            row.newName = line;
            row.marker = false;
            const Text lowered = toLower(line);
            if (const auto hit = earlier.find(lowered); hit != earlier.end()) {
                row.newName = markVyse(rows[hit->second].finalName());
                row.marker = true;
            } else if (const std::size_t j = later.firstAfter(k, lowered); j != Text::npos) {
                row.newName = markNize(rows[j].oldName);
                row.marker = true;
            } else {
                ++result.renameCount;
            }
        }
        earlier.try_emplace(toLower(row.finalName()), k);
    }
    for (; k < rows.size(); ++k) setUnchanged(rows[k]);

    if (!rows.empty()) result.previewText = previewText(rows);
    result.rows = std::move(rows);
    return result;
}

Text editBoxText(const PreviewList& rows) {
    Text box;
    for (const auto& row : rows) box += row.oldName + U"\r\n";
    return box;
}

}  // namespace zelvar
