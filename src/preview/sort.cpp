#include "preview/sort.h"

#include <algorithm>
#include <cstdint>
#include <string_view>

namespace zelvar {

namespace {

constexpr std::size_t kKeyDigits = 30;

bool isDigit(char32_t c) { return c >= U'0' && c <= U'9'; }

// The first digit run of a text as [begin, end) and the start of its significant digits.
struct DigitRun {
    std::size_t begin = Text::npos, significant = 0, end = 0;
};

DigitRun firstDigitRun(std::u32string_view text) {
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
        const DigitRun run = firstDigitRun(r.Jmeno());
        if (run.begin != Text::npos) width = std::max(width, run.end - run.significant);
    }
    return width;
}

// The sort keys of one build side by side in one text, so that a key costs no allocation of its own.
class Keys {
public:
    Keys(std::size_t n, std::size_t characters) {
        ends_.reserve(n);
        text_.reserve(characters);
    }

    // Adds the lower case of a + "." + b as the next key.
    void add(std::u32string_view a, std::u32string_view b) {
        const std::size_t from = text_.size();
        text_ += a;
        text_ += U'.';
        text_ += b;
        for (std::size_t i = from; i < text_.size(); ++i) text_[i] = lowerChar(text_[i]);
        ends_.push_back(text_.size());
    }

    std::u32string_view operator[](std::size_t k) const {
        const std::size_t from = k == 0 ? 0 : ends_[k - 1];
        return std::u32string_view(text_).substr(from, ends_[k] - from);
    }
    std::size_t size() const { return ends_.size(); }

private:
    Text text_;
    std::vector<std::size_t> ends_;
};

// The names on disk compared code point by code point.
bool nameBefore(const ZaznamSouboru& a, const ZaznamSouboru& b) { return a.name < b.name; }

// keyA and keyB are the records' sort keys; by date they are not used.
bool before(const ZaznamSouboru& a, const ZaznamSouboru& b, std::u32string_view keyA, std::u32string_view keyB,
            bool byDate) {
    if (byDate) {
        if (a.mtime != b.mtime) return a.mtime < b.mtime;
    } else {
        const int c = keyA.compare(keyB);
        if (c != 0) return c < 0;
    }
    return nameBefore(a, b);
}

// Length of the part that every key of the list begins with.
template <class KeyAt>
std::size_t sharedPrefix(std::size_t count, KeyAt keyAt) {
    if (count == 0) return 0;
    const std::u32string_view first = keyAt(0);
    std::size_t shared = first.size();
    for (std::size_t k = 1; k < count; ++k) {
        const std::u32string_view key = keyAt(k);
        const auto mismatch = std::mismatch(first.begin(), first.begin() + shared, key.begin(), key.end());
        shared = static_cast<std::size_t>(mismatch.first - first.begin());
    }
    return shared;
}

// Eight key characters after the shared part, one byte each, so that unequal words order as their
// keys do: the end of the key is 0, a character c below 254 is c + 1, and a larger one is 255 and
// ends the word (two such characters may differ, so nothing after them may decide).
std::uint64_t keyWord(std::u32string_view key, std::size_t from) {
    std::uint64_t word = 0;
    for (int i = 0; i < 8; ++i) {
        word <<= 8;
        const std::size_t at = from + static_cast<std::size_t>(i);
        if (at >= key.size()) continue;
        const char32_t c = key[at];
        if (c >= 254) {
            word = (word | 255) << (8 * (7 - i));
            break;
        }
        word |= c + 1;
    }
    return word;
}

// A modification time as a word that orders as the time does. Files copied together share their
// second, so where the list's seconds span less than 2^34 (544 years) the word holds the seconds
// since the earliest and, in the 30 bits below them, the nanoseconds; only equal times look at the
// records. Otherwise it holds the seconds alone, the sign bit flipped so that signed seconds order
// as unsigned words.
class DateWord {
public:
    DateWord() = default;
    explicit DateWord(const std::vector<ZaznamSouboru>& list) {
        if (list.empty()) return;
        std::int64_t latest = list[0].mtime.sec;
        earliest_ = latest;
        for (const auto& r : list) {
            earliest_ = std::min(earliest_, r.mtime.sec);
            latest = std::max(latest, r.mtime.sec);
        }
        withNanoseconds_ =
            static_cast<std::uint64_t>(latest) - static_cast<std::uint64_t>(earliest_) < (std::uint64_t{1} << 34);
    }
    // Whether equal words mean equal times.
    bool exact() const { return withNanoseconds_; }
    std::uint64_t operator()(const FileTime& t) const {
        if (!withNanoseconds_) return static_cast<std::uint64_t>(t.sec) ^ (std::uint64_t{1} << 63);
        return (static_cast<std::uint64_t>(t.sec) - static_cast<std::uint64_t>(earliest_)) << 30 |
               static_cast<std::uint64_t>(t.nsec);
    }

private:
    std::int64_t earliest_ = 0;
    bool withNanoseconds_ = false;
};

// One record to order: words that settle most comparisons without touching the record. `tie` is
// for records whose keys are equal as they stand: by date it holds the name on disk, else nothing.
struct Item {
    std::uint64_t word;
    std::uint64_t tie;
    int index;
};

// Moves every record to its place: order[k] is the index of the record that belongs at k. Walks
// each cycle of the permutation with one spare record, so no second list is made.
void permute(std::vector<ZaznamSouboru>& list, std::vector<int>& order) {
    for (int i = 0; i < static_cast<int>(order.size()); ++i) {
        if (order[i] == i) continue;
        ZaznamSouboru spare = std::move(list[i]);
        int j = i;
        for (;;) {
            const int k = order[j];
            order[j] = j;
            if (k == i) {
                list[j] = std::move(spare);
                break;
            }
            list[j] = std::move(list[k]);
            j = k;
        }
    }
}

// The keys by name, or by extension first; numeric keys write the first digit run by its value.
Keys sortKeys(const std::vector<ZaznamSouboru>& list, bool extensionFirst, bool numeric) {
    const std::size_t width = numeric ? keyWidth(list) : kKeyDigits;
    std::size_t characters = 0;
    for (const auto& r : list) characters += r.name.size() + 1 + (numeric ? width : 0);
    Keys keys(list.size(), characters);
    for (const auto& r : list) {
        const Text numbered = numeric ? CiselnyKlic(r, width) : Text();
        const std::u32string_view name = numeric ? std::u32string_view(numbered) : r.Jmeno();
        if (extensionFirst)
            keys.add(r.Pripona(), name);
        else
            keys.add(name, r.Pripona());
    }
    return keys;
}

}  // namespace

void ZaznamSouboru::setName(Text whole) {
    name = std::move(whole);
    const std::size_t dot = name.rfind(U'.');
    stemSize = static_cast<std::uint32_t>(dot != Text::npos && dot > 0 && dot + 1 < name.size() ? dot : name.size());
}

Text CiselnyKlic(const ZaznamSouboru& record, std::size_t width) {
    const std::u32string_view jmeno = record.Jmeno();
    const DigitRun run = firstDigitRun(jmeno);
    if (run.begin == Text::npos) return Text(jmeno);
    const std::size_t digits = run.end - run.significant;
    Text key;
    key.reserve(jmeno.size() + width);
    key.append(jmeno.substr(0, run.begin));
    if (digits < width) key.append(width - digits, U'0');
    key.append(jmeno.substr(run.significant, digits));
    key.append(jmeno.substr(run.end));
    return key;
}

std::vector<int> sortOrder(const std::vector<ZaznamSouboru>& list, Razeni sortKey, bool reverse, bool numeric) {
    std::vector<int> order(list.size());
    if (sortKey == Razeni::Neradit) {
        // "Neřadit": the listing order itself, or exactly its reverse.
        for (std::size_t k = 0; k < order.size(); ++k) order[k] = static_cast<int>(k);
        if (reverse) std::reverse(order.begin(), order.end());
        return order;
    }
    const bool byDate = sortKey == Razeni::Datum;
    // Key k belongs to record k; by date there are none.
    const Keys keys = byDate ? Keys(0, 0) : sortKeys(list, sortKey == Razeni::Pripona, numeric);
    const auto keyOf = [&](int k) { return byDate ? std::u32string_view() : keys[static_cast<std::size_t>(k)]; };
    // Keys are compared once as words; only equal words look at the records. The name on disk
    // breaks every tie, so the ascending order is total and its exact reverse is the descending one.
    const std::size_t shared = byDate ? 0 : sharedPrefix(keys.size(), [&](std::size_t k) { return keys[k]; });
    std::vector<Item> items(list.size());
    const DateWord dateWord = byDate ? DateWord(list) : DateWord();
    // Files made in one burst share their time to the nanosecond (the kernel's clock ticks
    // coarsely), so by date the name that breaks the tie gets a word of its own.
    const bool nameTies = byDate && dateWord.exact();
    const std::size_t sharedName =
        nameTies ? sharedPrefix(list.size(), [&](std::size_t k) { return std::u32string_view(list[k].name); }) : 0;
    for (std::size_t i = 0; i < list.size(); ++i) {
        items[i] = {byDate ? dateWord(list[i].mtime) : keyWord(keys[i], shared),
                    nameTies ? keyWord(list[i].name, sharedName) : 0, static_cast<int>(i)};
    }
    std::sort(items.begin(), items.end(), [&](const Item& a, const Item& b) {
        if (a.word != b.word) return a.word < b.word;
        if (a.tie != b.tie) return a.tie < b.tie;
        return before(list[a.index], list[b.index], keyOf(a.index), keyOf(b.index), byDate);
    });
    for (std::size_t k = 0; k < items.size(); ++k) order[k] = items[k].index;
    if (reverse) std::reverse(order.begin(), order.end());
    return order;
}

void putInOrder(std::vector<ZaznamSouboru>& list, std::vector<int> order) { permute(list, order); }

void Serad(std::vector<ZaznamSouboru>& list, Razeni sortKey, bool reverse, bool numeric) {
    putInOrder(list, sortOrder(list, sortKey, reverse, numeric));
}

}  // namespace zelvar
