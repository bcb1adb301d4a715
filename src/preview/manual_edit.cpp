#include "preview/manual_edit.h"

#include <algorithm>
#include <optional>
#include <unordered_map>

#include "preview/compose.h"

namespace zelvar {

namespace {

// Walks the box line by line. A line ends at a CR, which is taken to start a CR LF pair; blanks
// around each line go, and so do blanks before the next one, so a rest of blanks only is no line.
// The rest is tracked by position: copying it for every line would make a full box quadratic.
class LineCutter {
public:
    explicit LineCutter(const Text& box) : box_(box) {}
    bool done() const { return pos_ >= box_.size(); }
    Text next() {
        const std::size_t cr = box_.find(U'\r', pos_);
        const std::size_t end = cr == Text::npos ? box_.size() : cr;
        Text line = trimSpaces(box_.substr(pos_, end - pos_));
        pos_ = cr == Text::npos ? box_.size() : std::min(cr + 2, box_.size());
        while (pos_ < box_.size() && box_[pos_] == U' ') ++pos_;
        return line;
    }

private:
    const Text& box_;
    std::size_t pos_ = 0;
};

// The box cannot hold the characters a name may not contain, and its lines lose their outer blanks,
// but on this system an old name can have both. A line that is such an old name as the box shows it
// is what filling the box left there, not a name the user typed.
bool isUnchanged(const Text& line, const Text& oldName) {
    if (line == oldName) return true;
    const bool shownAsIs = oldName.find_first_of(kZakazaneZnaky) == Text::npos &&
                           (oldName.empty() || (oldName.front() != U' ' && oldName.back() != U' '));
    return !shownAsIs && line == trimSpaces(BezZakazanychZnaku(oldName));
}

// "." and ".." name the folder and its parent, never an entry; a name past the folder's limit is
// refused by the file system. No character takes more than four bytes, so most lines need no counting.
std::optional<Verdict> unusableLine(const Text& line, std::size_t nameMax) {
    if (line == U"." || line == U"..") return Verdict::emptyName;
    if (line.size() * 4 > nameMax && utf8Size(line) > nameMax) return Verdict::tooLong;
    return std::nullopt;
}

void setUnchanged(PreviewEntry& row) {
    row.newName.clear();
    row.verdict = Verdict::unchanged;
}

// Rows j > k whose old name matches a lowered name: ascending row indices per lowered old name, so
// the first one past k is found without scanning the rest of the list on every keystroke.
class LaterOldNames {
public:
    explicit LaterOldNames(const PreviewList& rows) {
        byName_.reserve(rows.size());
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

ManualEditResult txtEdit_Parse(const Text& boxText, PreviewList rows, std::size_t nameMax) {
    ManualEditResult result;
    result.boxText = BezZakazanychZnaku(boxText);
    std::erase(result.boxText, U'\0');  // no file name holds one either (an edit file may)

    const LaterOldNames later(rows);
    // Lowered final names of the rows already parsed, each with the first row that carries it.
    std::unordered_map<Text, std::size_t> earlier;
    earlier.reserve(rows.size());

    LineCutter lines(result.boxText);
    std::size_t k = 0;
    for (; k < rows.size() && !lines.done(); ++k) {
        PreviewEntry& row = rows[k];
        const Text line = lines.next();
        Text lowered;
        if (line.empty() || isUnchanged(line, row.oldName)) {
            setUnchanged(row);
        } else if (const auto refused = unusableLine(line, nameMax)) {
            // Marked as a pattern name would be; the run would only fail on it.
            setUnchanged(row);
            row.verdict = *refused;
        } else {
            row.newName = line;
            row.verdict = Verdict::usable;
            lowered = toLower(line);
            if (const auto hit = earlier.find(lowered); hit != earlier.end()) {
                row.newName = rows[hit->second].finalName();
                row.verdict = Verdict::clashAbove;
            } else if (const std::size_t j = later.firstAfter(k, lowered); j != Text::npos) {
                row.newName = rows[j].oldName;
                row.verdict = Verdict::clashBelow;
            } else {
                ++result.renameCount;
            }
        }
        earlier.try_emplace(row.marker() ? toLower(row.oldName) : std::move(lowered), k);
    }
    for (; k < rows.size(); ++k) setUnchanged(rows[k]);

    result.rows = std::move(rows);
    return result;
}

Text editBoxText(const PreviewList& rows) {
    Text box;
    for (const auto& row : rows) box += row.oldName + U"\r\n";
    return box;
}

}  // namespace zelvar
