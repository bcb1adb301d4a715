#include "preview/entry.h"

namespace zelvar {

void appendShownName(Text& out, const PreviewEntry& row) {
    const auto around = [&](const char32_t* before, const char32_t* after) {
        out += before;
        out += row.newName;
        out += after;
    };
    switch (row.verdict) {
        case Verdict::usable: out += row.newName; return;
        case Verdict::emptyName: out += U"* prázdné jméno"; return;
        case Verdict::unchanged: out += U"* beze změny"; return;
        case Verdict::tooLong: out += U"* příliš dlouhé jméno"; return;
        case Verdict::clashAbove: return around(U"* viz >", U"< výše");
        case Verdict::clashBelow: return around(U"* viz >", U"< níže");
        case Verdict::exists: return around(U"* existuje >", U"<");
    }
}

Text shownName(const PreviewEntry& row) {
    Text out;
    appendShownName(out, row);
    return out;
}

Text previewText(const PreviewList& rows) {
    std::size_t size = 0;
    for (const auto& r : rows) size += r.oldName.size() + r.newName.size() + 24;
    Text out;
    out.reserve(size);
    for (const auto& r : rows) {
        out += r.oldName;
        out += U" -> ";
        appendShownName(out, r);
        out += U"\r\n";
    }
    return out;
}

}  // namespace zelvar
