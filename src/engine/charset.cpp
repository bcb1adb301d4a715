#include "engine/charset.h"

#include <utility>

namespace zelvar {

namespace {

const Text kSDiakritikou = U"áäčďéěëíľĺňóôöřŕšśťúůüýžÁÄČĎÉĚËÍĽĹŇÓÔÖŘŔŠŚŤÚŮÜÝŽ";
const Text kBezDiakritiky = U"aacdeeeillnooorrsstuuuyzAACDEEEILLNOOORRSSTUUUYZ";

}  // namespace

Text OdstranZnaky(Text text, const Text& set) {
    if (set.empty()) return text;
    std::erase_if(text, [&set](char32_t c) { return set.find(c) != Text::npos; });
    return text;
}

Text ZamenZnaky(Text text, const Text& co, Text zaCo) {
    // Callers never pass an empty replacement for a non-empty set; with nothing to write there is
    // nothing to do.
    if (zaCo.empty()) return text;
    if (zaCo.size() < co.size()) zaCo.resize(co.size(), zaCo.back());
    // Pair by pair, each on what the previous pair left: "ab" -> "bc" turns "ab" into "cc".
    for (std::size_t i = 0; i < co.size(); ++i) {
        for (auto& c : text) {
            if (c == co[i]) c = zaCo[i];
        }
    }
    return text;
}

Text ZamenRetezec(Text text, const Text& co, const Text& zaCo) {
    if (co.empty()) return text;  // an empty needle would match everywhere forever
    std::size_t start = 0;
    for (;;) {
        const auto q = text.find(co, start);
        if (q == Text::npos) break;
        text.replace(q, co.size(), zaCo);
        start = q + zaCo.size();  // inserted text is never searched again
    }
    return text;
}

Text BezDiakritiky(Text text) { return ZamenZnaky(std::move(text), kSDiakritikou, kBezDiakritiky); }

}  // namespace zelvar
