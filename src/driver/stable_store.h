#pragma once

#include <cstddef>
#include <cstdlib>
#include <iterator>
#include <new>
#include <type_traits>
#include <utility>
#include <vector>

namespace taloq {

// Room for `bytes` bytes aligned for any record. Blocks of a huge page or
// more are aligned to one and the system is asked to back them with huge
// pages, which spares tens of thousands of page faults in a large model.
void* allocate_block(std::size_t bytes);
void free_block(void* block) noexcept;

// Storage for the records of a model. Records are made in blocks of
// kBlockBytes at a time, never move once made (so plain pointers to them stay valid until
// the store is cleared) and are visited in the order they were made. Unlike
// a deque, whose blocks hold only a few large records, this takes one
// allocation per block and frees records that need no destructor without
// visiting them.
template <class T, std::size_t kBlockBytes = 64 * 1024>
class StableStore {
 public:
  static_assert(alignof(T) <= alignof(std::max_align_t));
  static constexpr std::size_t kBlockRecords = kBlockBytes / sizeof(T) > 0 ? kBlockBytes / sizeof(T)
                                                                           : 1;

  StableStore() = default;
  StableStore(const StableStore&) = delete;
  StableStore& operator=(const StableStore&) = delete;
  StableStore(StableStore&& other) noexcept { *this = std::move(other); }
  StableStore& operator=(StableStore&& other) noexcept {
    if (this != &other) {
      clear();
      blocks_ = std::move(other.blocks_);
      size_ = std::exchange(other.size_, 0);
      other.blocks_.clear();
    }
    return *this;
  }
  ~StableStore() { clear(); }

  // Makes a record at the end from `args`. When the record's constructor
  // throws, the store is as it was.
  template <class... Args>
  T& emplace_back(Args&&... args) {
    if (size_ == blocks_.size() * kBlockRecords) add_block();
    T* slot = blocks_.back() + size_ % kBlockRecords;
    new (slot) T(std::forward<Args>(args)...);
    ++size_;
    return *slot;
  }

  // Destroys the newest record; its room is used again by the next one.
  void pop_back() {
    --size_;
    (*this)[size_].~T();
  }

  std::size_t size() const { return size_; }
  bool empty() const { return size_ == 0; }
  T& operator[](std::size_t i) { return blocks_[i / kBlockRecords][i % kBlockRecords]; }
  const T& operator[](std::size_t i) const { return blocks_[i / kBlockRecords][i % kBlockRecords]; }

  // Destroys every record and returns the blocks.
  void clear() {
    if constexpr (!std::is_trivially_destructible_v<T>) {
      for (std::size_t i = size_; i > 0; --i) (*this)[i - 1].~T();
    }
    for (T* block : blocks_) free_block(block);
    blocks_.clear();
    size_ = 0;
  }

  template <class Store, class Record>
  class Iterator {
   public:
    using iterator_category = std::forward_iterator_tag;
    using value_type = std::remove_const_t<Record>;
    using difference_type = std::ptrdiff_t;
    using pointer = Record*;
    using reference = Record&;

    Iterator() = default;
    Iterator(Store* store, std::size_t index) : store_(store), index_(index) {}
    Record& operator*() const { return (*store_)[index_]; }
    Record* operator->() const { return &(*store_)[index_]; }
    Iterator& operator++() {
      ++index_;
      return *this;
    }
    Iterator operator++(int) {
      Iterator before = *this;
      ++index_;
      return before;
    }
    bool operator==(const Iterator& other) const { return index_ == other.index_; }

   private:
    Store* store_ = nullptr;
    std::size_t index_ = 0;
  };
  using iterator = Iterator<StableStore, T>;
  using const_iterator = Iterator<const StableStore, const T>;

  iterator begin() { return {this, 0}; }
  iterator end() { return {this, size_}; }
  const_iterator begin() const { return {this, 0}; }
  const_iterator end() const { return {this, size_}; }

 private:
  void add_block() {
    // Room first, so that the push_back below cannot throw and lose a block.
    if (blocks_.size() == blocks_.capacity()) blocks_.reserve(2 * blocks_.size() + 1);
    void* room = allocate_block(sizeof(T) * kBlockRecords);
    blocks_.push_back(static_cast<T*>(room));
  }

  std::vector<T*> blocks_;
  std::size_t size_ = 0;
};

}  // namespace taloq
