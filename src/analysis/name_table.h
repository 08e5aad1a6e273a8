#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace taloq {

// Values by name for lookups repeated once per reference: an open-addressing
// table that is filled once and then only read. The entries lie densely in
// insertion order, and each slot holds an entry's index with its name's
// hash, so a lookup reads a slot and, in the usual case, one entry, instead
// of a chain of separately allocated nodes, in about the memory those would
// take. The names are borrowed and must outlive the table. Inserting a name
// that is already present keeps the first value, as a walk over the list
// that filled the table would find it first.
template <typename V>
class NameTable {
 public:
  // Room for `count` names without growing.
  void reserve(std::size_t count) {
    entries_.reserve(count);
    if (count * 2 > slots_.size()) rebuild(count * 2);
  }

  // Adds `name` unless present; true when it was added.
  bool insert(std::string_view name, V value) {
    if ((entries_.size() + 1) * 2 > slots_.size()) rebuild((entries_.size() + 1) * 2);
    const std::uint32_t hash = hash_of(name);
    Slot& slot = slots_[find_slot(name, hash)];
    if (slot.entry != kEmpty) return false;
    slot = {static_cast<std::uint32_t>(entries_.size()), hash};
    entries_.push_back({name, value});
    return true;
  }

  // The value of `name`, or null when absent.
  const V* find(std::string_view name) const {
    if (slots_.empty()) return nullptr;
    const Slot& slot = slots_[find_slot(name, hash_of(name))];
    return slot.entry == kEmpty ? nullptr : &entries_[slot.entry].value;
  }

  std::size_t size() const { return entries_.size(); }

 private:
  static constexpr std::uint32_t kEmpty = 0xFFFFFFFFu;

  struct Entry {
    std::string_view name;
    V value;
  };
  struct Slot {
    std::uint32_t entry = kEmpty;
    std::uint32_t hash = 0;
  };

  static std::uint32_t hash_of(std::string_view name) {
    return static_cast<std::uint32_t>(std::hash<std::string_view>{}(name));
  }

  std::size_t find_slot(std::string_view name, std::uint32_t hash) const {
    const std::size_t mask = slots_.size() - 1;
    std::size_t at = hash & mask;
    while (slots_[at].entry != kEmpty &&
           (slots_[at].hash != hash || entries_[slots_[at].entry].name != name)) {
      at = (at + 1) & mask;
    }
    return at;
  }

  // Grows to a power of two of at least `wanted` slots and places the
  // entries again; no name is held twice, so their order cannot matter.
  void rebuild(std::size_t wanted) {
    std::size_t capacity = 16;
    while (capacity < wanted) capacity *= 2;
    slots_.assign(capacity, Slot{});
    for (std::size_t i = 0; i < entries_.size(); ++i) {
      const std::uint32_t hash = hash_of(entries_[i].name);
      slots_[find_slot(entries_[i].name, hash)] = {static_cast<std::uint32_t>(i), hash};
    }
  }

  std::vector<Entry> entries_;
  std::vector<Slot> slots_;
};

}  // namespace taloq
