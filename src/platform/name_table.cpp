#include "platform/name_table.h"

#include <algorithm>
#include <functional>
#include <stdexcept>

namespace zelvar {

NameTable::NameTable(std::initializer_list<value_type> names) {
    reserve(names.size());
    for (const auto& [name, id] : names) add(name, id);
    index();
}

void NameTable::reserve(std::size_t names) {
    ends_.reserve(names);
    ids_.reserve(names);
}

void NameTable::add(std::string_view name, EntryId id) {
    text_ += name;
    ends_.push_back(static_cast<std::uint32_t>(text_.size()));
    ids_.push_back(id);
}

void NameTable::dropLast() {
    ends_.pop_back();
    ids_.pop_back();
    text_.resize(ends_.empty() ? 0 : ends_.back());
}

void NameTable::index(Repeats repeats) {
    std::size_t capacity = 16;
    while (capacity < 2 * ids_.size()) capacity <<= 1;
    slots_.assign(capacity, 0);
    // A name met again is dropped, and the names after it move up over it.
    std::size_t kept = 0, from = 0, to = 0;
    for (std::size_t k = 0; k < ids_.size(); ++k) {
        const std::size_t start = from, end = ends_[k];
        from = end;
        const std::size_t s = slotOf(std::string_view(text_).substr(start, end - start));
        if (slots_[s] != 0) {
            if (repeats == Repeats::standForNone) ids_[slots_[s] - 1] = EntryId{};
            continue;
        }
        if (to != start) std::copy(text_.begin() + start, text_.begin() + end, text_.begin() + to);
        to += end - start;
        ends_[kept] = static_cast<std::uint32_t>(to);
        ids_[kept] = ids_[k];
        slots_[s] = static_cast<std::uint32_t>(++kept);
    }
    text_.resize(to);
    ends_.resize(kept);
    ids_.resize(kept);
    text_.shrink_to_fit();
    ends_.shrink_to_fit();
    ids_.shrink_to_fit();
}

// The slot that holds the name, or the free one where it would go.
std::size_t NameTable::slotOf(std::string_view name) const {
    const std::size_t mask = slots_.size() - 1;
    for (std::size_t s = std::hash<std::string_view>()(name) & mask;; s = (s + 1) & mask) {
        if (slots_[s] == 0 || this->name(slots_[s] - 1) == name) return s;
    }
}

const EntryId* NameTable::find(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    const std::uint32_t at = slots_[slotOf(name)];
    return at == 0 ? nullptr : &ids_[at - 1];
}

const EntryId& NameTable::at(std::string_view name) const {
    if (const EntryId* id = find(name)) return *id;
    throw std::out_of_range("no such name in the folder");
}

}  // namespace zelvar
