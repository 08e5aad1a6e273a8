#include "driver/stable_store.h"

#include <new>

#if defined(__linux__)
#include <sys/mman.h>
#endif

namespace taloq {

namespace {

constexpr std::size_t kHugePage = 2 * 1024 * 1024;

}  // namespace

void* allocate_block(std::size_t bytes) {
  if (bytes < kHugePage / 2) {
    void* block = std::malloc(bytes);
    if (block == nullptr) throw std::bad_alloc();
    return block;
  }
  const std::size_t rounded = (bytes + kHugePage - 1) / kHugePage * kHugePage;
  void* block = std::aligned_alloc(kHugePage, rounded);
  if (block == nullptr) throw std::bad_alloc();
#if defined(__linux__) && defined(MADV_HUGEPAGE)
  // Only advice: without huge pages the block works the same.
  madvise(block, rounded, MADV_HUGEPAGE);
#endif
  return block;
}

void free_block(void* block) noexcept {
  std::free(block);
}

}  // namespace taloq
