#pragma once
// The names of one folder with their entries, as the listing keeps them for the existence test of
// new names and for a run's plan. Names are bytes on disk and compared exactly: whatever letter
// case folding a test needs is done by the caller.
#include <sys/types.h>

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <iterator>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace zelvar {

struct EntryId {
    dev_t dev = 0;
    ino_t ino = 0;
    bool operator==(const EntryId&) const = default;
};

// Every name of a folder with its entry: the names' bytes side by side in one text, their ends and
// entries in two arrays and a table of their places, so that a folder of many names costs no
// allocation per name (13-byte names take 33 bytes each where a string and an entry took 48).
// Iterates as (name, entry) pairs.
class NameTable {
public:
    using value_type = std::pair<std::string_view, EntryId>;

    NameTable() = default;
    NameTable(std::initializer_list<value_type> names);

    // Filling it: names in the order read, then index() once, after which they can be found. A name
    // given twice (a folder read while it changed) keeps its first entry, or, with standForNone,
    // stands for no entry in particular (EntryId{}).
    enum class Repeats { keepFirst, standForNone };
    void reserve(std::size_t names);
    void add(std::string_view name, EntryId id);
    void dropLast();
    EntryId& lastEntry() { return ids_.back(); }
    void index(Repeats repeats = Repeats::keepFirst);

    const EntryId* find(std::string_view name) const;
    const EntryId& at(std::string_view name) const;  // throws std::out_of_range for a name not there
    std::size_t size() const { return ids_.size(); }

    class const_iterator {
    public:
        using value_type = NameTable::value_type;
        using reference = value_type;
        using pointer = void;
        using difference_type = std::ptrdiff_t;
        using iterator_category = std::input_iterator_tag;

        const_iterator(const NameTable* table, std::size_t k) : table_(table), k_(k) {}
        value_type operator*() const { return {table_->name(k_), table_->ids_[k_]}; }
        const_iterator& operator++() {
            ++k_;
            return *this;
        }
        const_iterator operator++(int) { return const_iterator(table_, k_++); }
        bool operator==(const const_iterator&) const = default;

    private:
        const NameTable* table_;
        std::size_t k_;
    };
    const_iterator begin() const { return {this, 0}; }
    const_iterator end() const { return {this, size()}; }

private:
    std::string_view name(std::size_t k) const {
        const std::size_t from = k == 0 ? 0 : ends_[k - 1];
        return std::string_view(text_).substr(from, ends_[k] - from);
    }
    std::size_t slotOf(std::string_view name) const;

    std::string text_;                  // every name, one after another
    std::vector<std::uint32_t> ends_;   // by name: where it ends in text_
    std::vector<EntryId> ids_;          // by name
    std::vector<std::uint32_t> slots_;  // index of a name plus one; 0 is a free slot
};

}  // namespace zelvar
