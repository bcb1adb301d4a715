#include "preview/sort.h"

#include <algorithm>

namespace zelvar {

namespace {

constexpr std::size_t kKeyDigits = 30;

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// The first digit run of a text as [begin, end) and the start of its significant digits.
struct DigitRun {
    std::size_t begin = Text::npos, significant = 0, end = 0;
};

DigitRun firstDigitRun(const Text& text) {
    DigitRun run;
    std::size_t i = 0;
    while (i < text.size() && !isDigit(text[i])) ++i;
    if (i == text.size()) return run;
    run.begin = i;
    while (i < text.size() && text[i] == U'0') ++i;
    run.significant = i;
    while (i < text.size() && isDigit(text[i])) ++i;
    run.end = i;
    // A run of zeros only has the value 0, written as one significant "0".
    if (run.significant == run.end) run.significant = run.end - 1;
    return run;
}

// Widest value of the first digit runs of the list, at least the usual 30 digits: a run with more
// significant digits than that widens every key of the build, so keys still order by value.
std::size_t keyWidth(const std::vector<ZaznamSouboru>& list) {
    std::size_t width = kKeyDigits;
    for (const auto& r : list) {
        const DigitRun run = firstDigitRun(r.Jmeno);
        if (run.begin != Text::npos) width = std::max(width, run.end - run.significant);
    }
    return width;
}

// lower case of a + "." + b, built in one piece.
Text joinedKey(const Text& a, const Text& b) {
    Text key;
    key.reserve(a.size() + 1 + b.size());
    key += a;
    key += U'.';
    key += b;
    return toLower(std::move(key));
}

bool before(const ZaznamSouboru& a, const ZaznamSouboru& b, bool byDate) {
    if (byDate) {
        if (a.mtimeNs != b.mtimeNs) return a.mtimeNs < b.mtimeNs;
    } else {
        const int c = a.Klic.compare(b.Klic);
        if (c != 0) return c < 0;
    }
    return a.name < b.name;
}

}  // namespace

Text CiselnyKlic(const ZaznamSouboru& record, std::size_t width) {
    const DigitRun run = firstDigitRun(record.Jmeno);
    if (run.begin == Text::npos) return record.Jmeno;
    const std::size_t digits = run.end - run.significant;
    Text key;
    key.reserve(record.Jmeno.size() + width);
    key.append(record.Jmeno, 0, run.begin);
    if (digits < width) key.append(width - digits, U'0');
    key.append(record.Jmeno, run.significant, digits);
    key.append(record.Jmeno, run.end, Text::npos);
    return key;
}

void Serad(std::vector<ZaznamSouboru>& list, int sortKey, bool reverse, bool numeric) {
    if (sortKey != 0 && sortKey != 1 && sortKey != 2) {
        // "Neřadit": the listing order itself, or exactly its reverse.
        if (reverse) std::reverse(list.begin(), list.end());
        return;
    }
    const bool byDate = sortKey == 2;
    if (!byDate) {
        const std::size_t width = numeric ? keyWidth(list) : kKeyDigits;
        for (auto& r : list) {
            const Text numbered = numeric ? CiselnyKlic(r, width) : Text();
            const Text& name = numeric ? numbered : r.Jmeno;
            r.Klic = sortKey == 0 ? joinedKey(name, r.Pripona) : joinedKey(r.Pripona, name);
        }
    }
    // The name on disk breaks every tie, so the ascending order is total and its exact reverse
    // is the descending one.
    std::sort(list.begin(), list.end(),
              [byDate](const ZaznamSouboru& a, const ZaznamSouboru& b) { return before(a, b, byDate); });
    if (reverse) std::reverse(list.begin(), list.end());
}

}  // namespace zelvar
