#include "engine/counters.h"

#include <algorithm>
#include <cmath>

#include "engine/numbers.h"
#include "engine/pattern.h"

namespace zelvar {

std::optional<int> radixValue(const Text& text) {
    const double rounded = std::nearbyint(numericValue(text));
    if (!(rounded >= -32768 && rounded <= 32767)) return std::nullopt;
    return static_cast<int>(rounded);
}

int keptRunLimit(int radix) {
    struct Row {
        int from, to, digits;
    };
    static constexpr Row kRows[] = {
        {2, 2, 54}, {3, 3, 34},  {4, 4, 27},   {5, 5, 23},   {6, 6, 21},   {7, 7, 19},
        {8, 8, 17}, {9, 10, 16}, {11, 13, 15}, {14, 17, 14}, {18, 21, 13}, {22, 28, 12},
    };
    for (const auto& row : kRows) {
        if (radix >= row.from && radix <= row.to) return row.digits;
    }
    return 11;
}

bool isKeptDigit(char32_t c, int radix, int digitSet) {
    const long code = static_cast<long>(lowerChar(c));
    auto within = [code](char32_t first, long count) { return code >= first && code < first + count; };
    switch (digitSet) {
        case 0: return within(U'0', radix);
        case 1: return within(U'a', radix);
        default:
            if (radix <= 10) return within(U'0', radix);
            return within(U'0', 10) || within(U'a', radix - 10);
    }
}

KeptNumber extractKeptNumber(Text& text, const RenameOptions& options, bool mirrored) {
    // A radix field too large for 16 bits gives no radix at all, so nothing belongs to a number.
    const int radix = radixValue(options.txtZachovatCiselnyZaklad).value_or(0);
    const int digitSet = static_cast<int>(options.optZachovatTypCislovani);
    std::size_t s = 0;
    while (s < text.size() && !isKeptDigit(text[s], radix, digitSet)) ++s;
    if (s == text.size()) return {};

    std::size_t e = s;
    while (e < text.size() && isKeptDigit(text[e], radix, digitSet)) ++e;
    const auto limit = static_cast<std::size_t>(keptRunLimit(radix));
    if (e - s > limit) e = s + limit;

    Text run = text.substr(s, e - s);
    if (mirrored) run = Obrat(run);
    KeptNumber kept;
    kept.found = true;
    kept.value = TextNaCislo(run, radix, digitSet);
    kept.start = s + 1;
    text.erase(s, e - s);
    return kept;
}

void InsertionTracker::start(std::size_t numberStart) {
    before_ = static_cast<long>(numberStart);
    point_ = numberStart == 1 ? 0 : before_;
}

void InsertionTracker::keep() {
    if (active()) --before_;
}

void InsertionTracker::drop() {
    if (!active()) return;
    --point_;
    --before_;
}

void InsertionTracker::literal() {
    if (active()) ++point_;
}

void InsertionTracker::date(char32_t marker) {
    if (active()) point_ += marker == kMarkRok4 ? 4 : 2;
}

void InsertionTracker::star(std::size_t length) {
    if (active()) before_ -= static_cast<long>(length);
}

Numbering::Numbering(const RenameOptions& options, double n, bool mirrored, bool pocitat, std::size_t maxPadding)
    : options_(options), n_(n), mirrored_(mirrored), pocitat_(pocitat), maxPadding_(maxPadding) {}

void Numbering::extract(Text& text) {
    const KeptNumber kept = extractKeptNumber(text, options_, mirrored_);
    found_ = kept.found;
    n_ = kept.value;
    if (found_) tracker.start(kept.start);
}

bool Numbering::inPlace() const {
    return options_.optCitac == Citac::Zachovat && options_.optZachovatCisla == ZachovatCisla::Format && found_;
}

bool Numbering::putCounter(Text& out, std::size_t at, int width) {
    if (inPlace()) {
        if (keptWidth_ == 0) keptWidth_ = width;
        return false;
    }
    const Citac mode = options_.optCitac;
    const bool keeps = mode == Citac::Zachovat;
    const bool writes = mode == Citac::Citac || (mode == Citac::JenStejne && pocitat_) ||
                        (keeps && options_.optZachovatCisla == ZachovatCisla::FormatPresun) ||
                        (keeps && !found_ && options_.chkCisloNula != 0);
    return writes && putNumber(out, at, width);
}

void Numbering::reinsert(Text& out, std::size_t base) const {
    if (!inPlace()) return;
    const long point = tracker.position() < 1 ? 1 : tracker.position();
    putNumber(out, base + static_cast<std::size_t>(point - 1), keptWidth_);
}

bool Numbering::putNumber(Text& out, std::size_t at, int width) const {
    const auto radix = radixValue(options_.txtCiselnyZaklad);
    if (!radix) return false;
    const std::size_t end = out.size();
    appendDigits(out, n_, *radix, width, static_cast<int>(options_.optTypCislovani), maxPadding_);
    const auto from = out.begin() + static_cast<std::ptrdiff_t>(end);
    // Mirrored in advance, so that it reads correctly once the whole text is turned back.
    if (mirrored_) std::reverse(from, out.end());
    if (at < end) std::rotate(out.begin() + static_cast<std::ptrdiff_t>(at), from, out.end());
    return out.size() > end;
}

}  // namespace zelvar
