#include "preview/entry.h"

namespace zelvar {

Text markVyse(const Text& name) { return U"* viz >" + name + U"< výše"; }
Text markNize(const Text& name) { return U"* viz >" + name + U"< níže"; }
Text markExistuje(const Text& name) { return U"* existuje >" + name + U"<"; }

Text previewText(const PreviewList& rows) {
    std::size_t size = 0;
    for (const auto& r : rows) size += r.oldName.size() + r.newName.size() + 6;
    Text out;
    out.reserve(size);
    for (const auto& r : rows) {
        out += r.oldName;
        out += U" -> ";
        out += r.newName;
        out += U"\r\n";
    }
    return out;
}

}  // namespace zelvar
