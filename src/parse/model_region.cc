#include "parse/model_region.h"

#include <sys/mman.h>

#include <new>

namespace taloq {

namespace {

// Pages are committed this much at a time: few system calls, and a large
// model is backed by huge pages where the system has them.
constexpr std::size_t kCommitStep = std::size_t{2} << 20;

std::size_t round_up(std::size_t n, std::size_t step) {
  return (n + step - 1) / step * step;
}

// Makes [start + committed, start + needed) usable, a whole step at a time,
// within `limit` bytes from `start`.
void commit(std::byte* start, std::size_t& committed, std::size_t needed, std::size_t limit) {
  if (needed <= committed) return;
  const std::size_t target = round_up(needed, kCommitStep) < limit ? round_up(needed, kCommitStep)
                                                                   : limit;
  if (needed > target ||
      mprotect(start + committed, target - committed, PROT_READ | PROT_WRITE) != 0) {
    throw std::bad_alloc();
  }
#ifdef MADV_HUGEPAGE
  madvise(start + committed, target - committed, MADV_HUGEPAGE);
#endif
  committed = target;
}

}  // namespace

std::uint32_t RegionHeader::first_module_id(const ModuleRecord* module) {
  if (module == nullptr) return 0;
  if (module == last_module) return last_module_id;
  auto [it, added] = module_ids.try_emplace(module, static_cast<std::uint32_t>(modules.size()));
  if (added) modules.push_back(const_cast<ModuleRecord*>(module));
  last_module = module;
  last_module_id = it->second;
  return it->second;
}

void ModelRegion::reserve() {
  // Twice the alignment is reserved so that an aligned span fits inside;
  // what lies outside it is returned at once. Reserved pages cost nothing
  // until committed.
  void* raw = mmap(nullptr, 2 * kAlign, PROT_NONE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_NORESERVE,
                   -1, 0);
  if (raw == MAP_FAILED) throw std::bad_alloc();
  const auto start = reinterpret_cast<std::uintptr_t>(raw);
  const std::uintptr_t aligned = (start + kAlign - 1) & ~(kAlign - 1);
  if (aligned > start) munmap(raw, aligned - start);
  const std::uintptr_t end = start + 2 * kAlign;
  if (end > aligned + kSpan) munmap(reinterpret_cast<void*>(aligned + kSpan), end - aligned - kSpan);
  base_ = reinterpret_cast<std::byte*>(aligned);
  std::size_t header_committed = 0;
  try {
    commit(base_, header_committed, kElementsOffset, kElementsOffset);
  } catch (...) {
    munmap(base_, kSpan);
    base_ = nullptr;
    throw;
  }
  new (base_) RegionHeader();
  header().owner = this;
}

std::byte* ModelRegion::new_element_slot(std::size_t bytes, std::uint32_t& index) {
  if (base_ == nullptr) reserve();
  RegionHeader& h = header();
  const std::size_t area = kTextsOffset - kElementsOffset;
  commit(base_ + kElementsOffset, h.element_committed, (h.element_slots + 1) * bytes, area);
  index = static_cast<std::uint32_t>(h.element_slots++);
  return base_ + kElementsOffset + index * bytes;
}

char* ModelRegion::new_text_committing(std::size_t bytes, std::uint32_t& id) {
  if (base_ == nullptr) reserve();
  RegionHeader& h = header();
  commit(base_ + kTextsOffset, h.text_committed, h.text_used + bytes, kTextBytes);
  id = static_cast<std::uint32_t>(h.text_used);
  h.text_used += bytes;
  return reinterpret_cast<char*>(base_ + kTextsOffset + id);
}

void ModelRegion::release() {
  if (base_ == nullptr) return;
  header().~RegionHeader();
  munmap(base_, kSpan);
  base_ = nullptr;
}

}  // namespace taloq
