#pragma once
// The name table of one build: the clash checks of the naming step ask it which earlier name, if
// any, is a given one apart from letter case.
#include <bit>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <utility>
#include <vector>

#include "engine/text.h"

namespace zelvar {

// Ids for names that are equal ignoring letter case, in one flat open-addressing table, so that
// every clash check of a build is a probe into a few arrays rather than a walk over earlier or
// later rows. Names are hashed and compared through lowerChar as they stand, so no lower-cased
// copy is made. The table keeps no names either: each id holds a number its owner gave for where
// the name lies, which `nameAt` turns back into the name (four bytes an id where a view is sixteen:
// a build of a big folder holds twice as many ids as rows).
class NameIds {
public:
    using Key = std::u32string_view;
    using NameAt = std::function<Key(std::uint32_t where)>;

    NameIds(std::size_t expected, NameAt nameAt) : nameAt_(std::move(nameAt)) {
        where_.reserve(expected);
        rehash(expected * 2);
    }

    // A name's hash, to give find() and intern() where one name is asked for twice.
    static std::uint64_t hash(Key key) {
        std::uint64_t h = 0x9E3779B97F4A7C15ull ^ key.size();
        for (const char32_t c : key) {
            h = (h ^ lowerChar(c)) * 0xFF51AFD7ED558CCDull;
            h ^= h >> 29;
        }
        return h;
    }

    int find(Key key, std::uint64_t h) const { return idIn(slots_[probe(key, h)]); }

    // The id of the name; a new id remembers `where`, and nameAt(where) must give the name for as
    // long as the table is asked.
    int intern(Key key, std::uint32_t where) { return intern(key, where, hash(key)); }
    int intern(Key key, std::uint32_t where, std::uint64_t h) {
        const std::size_t s = probe(key, h);
        if (slots_[s] != 0) return idIn(slots_[s]);
        const int id = static_cast<int>(where_.size());
        where_.push_back(where);
        slots_[s] = slotFor(id, h);
        if (where_.size() * 2 > slots_.size()) rehash(slots_.size() * 2);
        return id;
    }

    std::size_t size() const { return where_.size(); }

private:
    // A slot is 0 when free, else the id plus one in its low bits and a part of the name's hash
    // above them, to skip most name comparisons. The low bits are as many as the slot count has: a
    // table never holds more ids than half its slots.
    std::uint32_t slotFor(int id, std::uint64_t h) const {
        return tagOf(h) << idBits_ | static_cast<std::uint32_t>(id + 1);
    }
    std::uint32_t tagOf(std::uint64_t h) const { return static_cast<std::uint32_t>(h >> 32) >> idBits_; }
    int idIn(std::uint32_t slot) const { return static_cast<int>(slot & ((1u << idBits_) - 1)) - 1; }

    static bool sameName(Key a, Key b) {
        if (a.size() != b.size()) return false;
        for (std::size_t i = 0; i < a.size(); ++i) {
            if (a[i] != b[i] && lowerChar(a[i]) != lowerChar(b[i])) return false;
        }
        return true;
    }

    std::size_t probe(Key key, std::uint64_t h) const {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t s = h & mask;; s = (s + 1) & mask) {
            const std::uint32_t slot = slots_[s];
            if (slot == 0 || (slot >> idBits_ == tagOf(h) && sameName(nameAt_(where_[idIn(slot)]), key))) return s;
        }
    }

    void rehash(std::size_t wanted) {
        std::size_t capacity = 16;
        while (capacity < wanted) capacity <<= 1;
        slots_.assign(capacity, 0);
        idBits_ = std::countr_zero(capacity);
        for (std::size_t id = 0; id < where_.size(); ++id) {
            const std::uint64_t h = hash(nameAt_(where_[id]));
            std::size_t s = h & (capacity - 1);
            while (slots_[s] != 0) s = (s + 1) & (capacity - 1);
            slots_[s] = slotFor(static_cast<int>(id), h);
        }
    }

    NameAt nameAt_;
    std::vector<std::uint32_t> slots_;
    int idBits_ = 0;
    std::vector<std::uint32_t> where_;  // by id
};

}  // namespace zelvar
