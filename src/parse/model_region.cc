#include "parse/model_region.h"

#include <sys/mman.h>

#include <algorithm>
#include <cstring>
#include <new>

#include "parse/name_hash.h"

namespace taloq {

namespace {

// Memory is mapped this much at a time: few system calls, and whole huge
// pages where the system has them.
constexpr std::size_t kCommitStep = std::size_t{2} << 20;

// Regions are placed at aligned addresses from here up, far from where the
// system puts the heap, the stack, shared libraries and its own mappings
// (and from the fixed ranges of the address sanitizer), so the areas can
// grow in place. The candidates are tried in turn; a region uses the first
// one that is free.
constexpr std::uintptr_t kFirstCandidate = std::uintptr_t{0x3000} << 32;
constexpr int kCandidates = 256;

constexpr int kMapFlags = MAP_PRIVATE | MAP_ANONYMOUS;

std::size_t round_up(std::size_t n, std::size_t step) {
  return (n + step - 1) / step * step;
}

// Maps `bytes` readable and writable memory exactly at `at`; false when the
// system would put it elsewhere (something else is there).
bool map_exactly(std::byte* at, std::size_t bytes) {
  void* got = mmap(at, bytes, PROT_READ | PROT_WRITE, kMapFlags, -1, 0);
  if (got == MAP_FAILED) return false;
  if (got != at) {
    munmap(got, bytes);
    return false;
  }
  return true;
}

// Whether the NUL-terminated `kept` holds exactly `text`. Never reads past
// the kept text's NUL; a text holding a NUL of its own never equals a kept
// one (and is kept apart). Names are short: a loop beats two calls.
bool equals_kept(const char* kept, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (kept[i] == '\0' || kept[i] != text[i]) return false;
  }
  return kept[text.size()] == '\0';
}

}  // namespace

std::uint16_t RegionHeader::first_module_id(const ModuleRecord* module) {
  if (module == nullptr) return 0;
  auto [it, added] = module_ids.try_emplace(module, static_cast<std::uint32_t>(modules.size()));
  if (added) {
    if (modules.size() > kMaxModules) {
      module_ids.erase(it);
      throw std::bad_alloc();
    }
    modules.push_back(const_cast<ModuleRecord*>(module));
  }
  last_module = module;
  last_module_id = static_cast<std::uint16_t>(it->second);
  return last_module_id;
}

bool ModelRegion::claim(std::uintptr_t candidate) {
  auto* at = reinterpret_cast<std::byte*>(candidate);
  if (!map_exactly(at, kHeaderBytes)) return false;
  base_ = at;
  return true;
}

void ModelRegion::reserve() {
  for (int i = 0; i < kCandidates && base_ == nullptr; ++i) {
    claim(kFirstCandidate + static_cast<std::uintptr_t>(i) * kAlign);
  }
  if (base_ == nullptr) {
    // No candidate was free: reserve twice the alignment so that an aligned
    // span fits inside, return what lies outside it, and commit inside it.
    void* raw = mmap(nullptr, 2 * kAlign, PROT_NONE, kMapFlags | MAP_NORESERVE, -1, 0);
    if (raw == MAP_FAILED) throw std::bad_alloc();
    const auto start = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (start + kAlign - 1) & ~(kAlign - 1);
    if (aligned > start) munmap(raw, aligned - start);
    const std::uintptr_t end = start + 2 * kAlign;
    if (end > aligned + kSpan) {
      munmap(reinterpret_cast<void*>(aligned + kSpan), end - aligned - kSpan);
    }
    base_ = reinterpret_cast<std::byte*>(aligned);
    reserved_ = true;
    if (mprotect(base_, kHeaderBytes, PROT_READ | PROT_WRITE) != 0) {
      munmap(base_, kSpan);
      base_ = nullptr;
      reserved_ = false;
      throw std::bad_alloc();
    }
  }
  new (base_) RegionHeader();
  header().owner = this;
}

// Makes the area at `offset` usable up to `needed` bytes, a whole step at a
// time, within `limit` bytes of the area; `committed` is how much already is.
void ModelRegion::commit(std::size_t offset, std::size_t& committed, std::size_t needed,
                         std::size_t limit) {
  if (needed <= committed) return;
  const std::size_t target = std::min(round_up(needed, kCommitStep), limit);
  std::byte* start = base_ + offset + committed;
  const std::size_t bytes = target - committed;
  const bool ok = needed <= target && (reserved_ ? mprotect(start, bytes, PROT_READ | PROT_WRITE) == 0
                                                 : map_exactly(start, bytes));
  if (!ok) throw std::bad_alloc();
#ifdef MADV_HUGEPAGE
  // Huge pages for the elements only: they fill tens of megabytes, where a
  // huge page saves faults; the text and cold areas hold a few megabytes,
  // where one mostly empty huge page apiece would add to the peak.
  if (offset == kElementsOffset) madvise(start, bytes, MADV_HUGEPAGE);
#endif
  committed = target;
}

std::byte* ModelRegion::new_element_slot(std::size_t bytes, std::uint32_t& index) {
  if (base_ == nullptr) reserve();
  RegionHeader& h = header();
  commit(kElementsOffset, h.element_committed, (h.element_slots + 1) * bytes,
         kTextsOffset - kElementsOffset);
  index = static_cast<std::uint32_t>(h.element_slots++);
  return base_ + kElementsOffset + index * bytes;
}

ElementCold* ModelRegion::new_cold_slot(std::uint32_t& index) {
  if (base_ == nullptr) reserve();
  RegionHeader& h = header();
  commit(kColdOffset, h.cold_committed, (h.cold_slots + 1) * sizeof(ElementCold), kColdBytes);
  index = static_cast<std::uint32_t>(h.cold_slots++);
  return &cold_at(base_, index);
}

char* ModelRegion::new_text_committing(std::size_t bytes, std::uint32_t& id) {
  if (base_ == nullptr) reserve();
  RegionHeader& h = header();
  commit(kTextsOffset, h.text_committed, h.text_used + bytes, kTextBytes);
  id = static_cast<std::uint32_t>(h.text_used);
  h.text_used += bytes;
  return reinterpret_cast<char*>(base_ + kTextsOffset + id);
}

char* ModelRegion::copy_text(std::string_view text, std::uint32_t& id) {
  char* chars = new_text(text.size() + 1, id);
  std::memcpy(chars, text.data(), text.size());
  chars[text.size()] = '\0';
  return chars;
}

const char* ModelRegion::intern_text(std::string_view text, std::uint32_t& id) {
  if (base_ == nullptr) reserve();
  RegionHeader& h = header();
  if (!h.interning) return copy_text(text, id);
  if ((h.interned_count + 1) * 2 > h.interned.size()) grow_interned();
  const std::uint32_t hash = hash_name(text);
  const std::size_t mask = h.interned.size() - 1;
  std::size_t at = hash & mask;
  for (;; at = (at + 1) & mask) {
    const RegionHeader::InternSlot& slot = h.interned[at];
    if (slot.id == 0) break;
    const char* kept = reinterpret_cast<const char*>(base_ + kTextsOffset + slot.id);
    if (slot.hash == hash && equals_kept(kept, text)) {
      id = slot.id;
      return kept;
    }
  }
  const char* chars = copy_text(text, id);
  // The free slot the search ended on takes it: keeping the text changed
  // nothing in the table.
  if (text.find('\0') == std::string_view::npos) {
    h.interned[at] = {id, hash};
    ++h.interned_count;
  }
  return chars;
}

void ModelRegion::stop_interning() {
  if (base_ == nullptr) return;
  RegionHeader& h = header();
  h.interning = false;
  std::vector<RegionHeader::InternSlot>().swap(h.interned);
  h.interned_count = 0;
}

void ModelRegion::grow_interned() {
  RegionHeader& h = header();
  std::vector<RegionHeader::InternSlot> old(std::max<std::size_t>(1024, h.interned.size() * 2));
  old.swap(h.interned);
  const std::size_t mask = h.interned.size() - 1;
  for (const RegionHeader::InternSlot& slot : old) {
    if (slot.id == 0) continue;
    std::size_t at = slot.hash & mask;
    while (h.interned[at].id != 0) at = (at + 1) & mask;
    h.interned[at] = slot;
  }
}

void ModelRegion::release() {
  if (base_ == nullptr) return;
  const std::size_t elements = header().element_committed;
  const std::size_t texts = header().text_committed;
  const std::size_t cold = header().cold_committed;
  header().~RegionHeader();
  if (reserved_) {
    munmap(base_, kSpan);
  } else {
    munmap(base_, kHeaderBytes);
    if (elements > 0) munmap(base_ + kElementsOffset, elements);
    if (texts > 0) munmap(base_ + kTextsOffset, texts);
    if (cold > 0) munmap(base_ + kColdOffset, cold);
  }
  base_ = nullptr;
  reserved_ = false;
}

}  // namespace taloq
