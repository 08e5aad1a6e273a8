#pragma once

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <utility>
#include <vector>

#include "parse/element.h"
#include "parse/model_region.h"

namespace taloq {

// The passes keep a flag or a number for every body they meet, keyed by the
// body's first element. They meet hundreds of thousands of bodies, so the
// table is an open-addressing one that allocates only when it grows.
// Entries are never removed; a pass that needs to forget resets the value.
// There is deliberately no walk over the slots: copying entries in slot
// order into another such table piles them up in long probe runs.
template <typename V>
class PointerMap {
 public:
  // The value of `key`, made as V{} when absent; the flag tells whether it
  // was made now.
  std::pair<V*, bool> try_emplace(const void* key) {
    if ((size_ + 1) * 4 > keys_.size() * 3) grow();
    const std::size_t slot = find_slot(key);
    const bool added = keys_[slot] == kFree;
    if (added) {
      keys_[slot] = stored(key);
      values_[slot] = V{};
      ++size_;
    }
    return {&values_[slot], added};
  }

  // The value of `key`, or null when absent.
  const V* find(const void* key) const {
    if (keys_.empty()) return nullptr;
    const std::size_t slot = find_slot(key);
    return keys_[slot] == kFree ? nullptr : &values_[slot];
  }
  V* find(const void* key) {
    return const_cast<V*>(static_cast<const PointerMap&>(*this).find(key));
  }

  bool contains(const void* key) const { return find(key) != nullptr; }

 private:
  // Keys are held as their element slot plus one (null is slot 0 plus
  // one), half the size of a pointer; 0 marks a free slot.
  static constexpr std::uint32_t kFree = 0;
  static std::uint32_t stored(const void* key) {
    const std::uintptr_t offset = reinterpret_cast<std::uintptr_t>(key) & (ModelRegion::kAlign - 1);
    return static_cast<std::uint32_t>(offset / sizeof(Element)) + 1;
  }
  std::size_t find_slot(const void* key) const { return find_stored(stored(key)); }
  std::size_t find_stored(std::uint32_t key) const {
    const std::size_t mask = keys_.size() - 1;
    std::size_t slot = hash(key) & mask;
    while (keys_[slot] != kFree && keys_[slot] != key) slot = (slot + 1) & mask;
    return slot;
  }

  static std::size_t hash(std::uint32_t key) {
    std::uint64_t bits = key;
    bits ^= bits >> 33;
    bits *= 0xff51afd7ed558ccdULL;
    bits ^= bits >> 33;
    return static_cast<std::size_t>(bits);
  }

  void grow() {
    std::vector<std::uint32_t> old_keys(keys_.empty() ? 16 : keys_.size() * 2, kFree);
    std::vector<V> old_values(old_keys.size());
    old_keys.swap(keys_);
    old_values.swap(values_);
    for (std::size_t i = 0; i < old_keys.size(); ++i) {
      if (old_keys[i] == kFree) continue;
      const std::size_t slot = find_stored(old_keys[i]);
      keys_[slot] = old_keys[i];
      values_[slot] = std::move(old_values[i]);
    }
  }

  std::vector<std::uint32_t> keys_;
  std::vector<V> values_;
  std::size_t size_ = 0;
};

// A set of bodies, elements of one model: a bit for every element slot of
// the model's region, at the element's place in it. A pass asks about
// every body it meets, and a bit costs neither hashing nor probing; a
// million elements take 128 KiB.
class PointerSet {
 public:
  // True when `key` was not in the set before.
  bool insert(const void* key) {
    const std::size_t at = slot_of(key);
    if (at / 64 >= words_.size()) words_.resize(std::max(at / 64 + 1, words_.size() * 2));
    std::uint64_t& word = words_[at / 64];
    const std::uint64_t bit = std::uint64_t{1} << (at % 64);
    const bool added = (word & bit) == 0;
    word |= bit;
    return added;
  }
  bool contains(const void* key) const {
    const std::size_t at = slot_of(key);
    return at / 64 < words_.size() && (words_[at / 64] >> (at % 64) & 1) != 0;
  }
  void erase(const void* key) {
    const std::size_t at = slot_of(key);
    if (at / 64 < words_.size()) words_[at / 64] &= ~(std::uint64_t{1} << (at % 64));
  }

 private:
  // Elements lie sizeof(Element) apart from the region's start, so their
  // offsets divided by it differ; null falls among the slots of the
  // region's header, where no element lies.
  static std::size_t slot_of(const void* key) {
    return (reinterpret_cast<std::uintptr_t>(key) & (ModelRegion::kAlign - 1)) / sizeof(Element);
  }

  std::vector<std::uint64_t> words_;
};

}  // namespace taloq
