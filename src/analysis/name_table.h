#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "parse/name_hash.h"

namespace taloq {

// Values by name for lookups repeated once per reference: an open-addressing
// table that is filled once and then only read. Each value carries its own
// name, which `NameOf` (a function object) reads from it, so an entry is the
// value alone. The entries lie densely in insertion order, and each slot
// holds an entry's index with its name's hash, so a lookup reads a slot and,
// in the usual case, one entry and its name. Inserting a value whose name is
// already present keeps the first, as a walk over the list that filled the
// table would find it first.
template <typename V, typename NameOf>
class NameTable {
 public:
  // Room for `count` names without growing.
  void reserve(std::size_t count) {
    entries_.reserve(count);
    if (!fits(count)) rebuild(count);
  }

  // Adds `value` unless its name is present; true when it was added.
  bool insert(V value) {
    if (!fits(entries_.size() + 1)) rebuild(entries_.size() + 1);
    const std::string_view name = NameOf{}(value);
    const std::uint32_t hash = hash_of(name);
    Slot& slot = slots_[find_slot(name, hash)];
    if (slot.entry != kEmpty) return false;
    slot = {static_cast<std::uint32_t>(entries_.size()), hash};
    entries_.push_back(value);
    return true;
  }

  // The value named `name`, or null when absent.
  const V* find(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    const Slot& slot = slots_[find_slot(name, hash_of(name))];
    return slot.entry == kEmpty ? nullptr : &entries_[slot.entry];
  }

  std::size_t size() const { return entries_.size(); }

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

  struct Slot {
    std::uint32_t entry = kEmpty;
    std::uint32_t hash = 0;
  };

  // At most three slots in four are taken: probe runs stay short, and the
  // table of a module of a hundred thousand definitions stays near 1 MB.
  bool fits(std::size_t count) const { return count * 4 <= slots_.size() * 3; }

  static std::uint32_t hash_of(std::string_view name) {
    return hash_name(name);
  }

  std::size_t find_slot(std::string_view name, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hash & mask;
    while (slots_[at].entry != kEmpty &&
           (slots_[at].hash != hash || NameOf{}(entries_[slots_[at].entry]) != name)) {
      at = (at + 1) & mask;
    }
    return at;
  }

  // Grows to the smallest power of two that holds `count` names and places
  // the entries again; no name is held twice, so their order cannot matter.
  void rebuild(std::size_t count) {
    std::size_t capacity = 16;
    while (count * 4 > capacity * 3) capacity *= 2;
    slots_.assign(capacity, Slot{});
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      const std::string_view name = NameOf{}(entries_[i]);
      const std::uint32_t hash = hash_of(name);
      slots_[find_slot(name, hash)] = {static_cast<std::uint32_t>(i), hash};
    }
  }

  std::vector<V> entries_;
  std::vector<Slot> slots_;
};

}  // namespace taloq
