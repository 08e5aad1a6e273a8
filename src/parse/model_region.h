#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace taloq {

struct ModuleRecord;

// Handles of element texts. Three fixed texts have handles of their own; any
// other handle is the offset of NUL-terminated characters in the region's
// text area.
inline constexpr std::uint32_t kEmptyTextId = 0;
inline constexpr std::uint32_t kNullTextId = 1;
inline constexpr std::uint32_t kUnsetTextId = 2;
inline constexpr std::uint32_t kFirstKeptTextId = 8;

// The fields most elements never set, kept out of line so the element record
// stays small: an element refers to its record by index, 0 for none.
struct ElementCold {
  std::uint32_t c_name = kEmptyTextId;
  std::uint32_t tag = kEmptyTextId;
  std::uint32_t const_text = kEmptyTextId;
  std::uint32_t pattern = kNullTextId;
  std::uint32_t next_type = 0;
  std::int32_t ref_count = 0;
  std::int32_t mark = 0;
  std::uint32_t cardinality_min = 0;
  std::int32_t cardinality_max = -1;
  std::byte* extra = nullptr;
};

// The most modules one run holds: elements name theirs in 16 bits. Past it
// the model is as exhausted as when its memory runs out.
inline constexpr std::size_t kMaxModules = 0xFFFF;

// Bookkeeping of a region, stored at its start so that anything inside the
// region finds it from its own address.
class ModelRegion;

struct RegionHeader {
  ModelRegion* owner = nullptr;
  std::size_t element_slots = 1;  // slot 0 stands for "no element"
  std::size_t element_committed = 0;
  std::size_t text_used = kFirstKeptTextId;
  std::size_t text_committed = 0;
  // The kept texts, once each: an open-addressing table of text handles
  // (0: a free slot) with their hashes. Names repeat all over a definition
  // (every message has its "id"), so most are found here, not copied.
  struct InternSlot {
    std::uint32_t id = 0;
    std::uint32_t hash = 0;
  };
  std::vector<InternSlot> interned;
  std::size_t interned_count = 0;
  bool interning = true;  // off once the sources are read (see stop_interning)
  std::size_t cold_slots = 1;  // slot 0 stands for "no cold record"
  std::size_t cold_committed = 0;
  std::vector<ModuleRecord*> modules = std::vector<ModuleRecord*>(1, nullptr);
  std::unordered_map<const ModuleRecord*, std::uint32_t> module_ids;
  const ModuleRecord* last_module = nullptr;
  std::uint16_t last_module_id = 0;

  // The handle of `module` (0 for null), given one on first use. Elements
  // are made module by module, so the last answer is nearly always right.
  // Throws std::bad_alloc past kMaxModules.
  std::uint16_t module_id(const ModuleRecord* module) {
    return module == last_module ? last_module_id : first_module_id(module);
  }
  std::uint16_t first_module_id(const ModuleRecord* module);
};

// The memory of one model: a stretch of address space aligned to its own
// size, holding the header, the elements (one array, addressed by 32-bit
// index) and the texts (addressed by 32-bit offset). Because the region is
// aligned, an element finds the header, its neighbours and its texts by
// masking its own address, so links and texts cost four bytes each.
// Memory is mapped as the model grows, at the end of each area, so a small
// model maps little (tools that shadow every mapped byte stay fast);
// releasing the model returns it all at once, without visiting a record.
class ModelRegion {
 public:
  static constexpr std::uintptr_t kAlign = std::uintptr_t{1} << 33;  // 8 GiB
  static constexpr std::size_t kHeaderBytes = std::size_t{1} << 16;
  // Elements start on a huge-page boundary, so the system can back them
  // with huge pages.
  static constexpr std::size_t kElementsOffset = std::size_t{2} << 20;
  static constexpr std::size_t kTextsOffset = std::size_t{4} << 30;
  static constexpr std::size_t kTextBytes = std::size_t{2} << 30;
  // The out-of-line fields of the elements that have any, addressed by
  // 32-bit index like the elements.
  static constexpr std::size_t kColdOffset = kTextsOffset + kTextBytes;
  static constexpr std::size_t kColdBytes = std::size_t{2} << 30;
  static constexpr std::size_t kSpan = kColdOffset + kColdBytes;

  ModelRegion() = default;
  ModelRegion(const ModelRegion&) = delete;
  ModelRegion& operator=(const ModelRegion&) = delete;
  ~ModelRegion() { release(); }

  // The base of the region that holds `inside`.
  static std::byte* base_of(const void* inside) {
    return reinterpret_cast<std::byte*>(reinterpret_cast<std::uintptr_t>(inside) & ~(kAlign - 1));
  }
  static RegionHeader& header_of(const void* inside) {
    return *reinterpret_cast<RegionHeader*>(base_of(inside));
  }

  // Room for the next element of `bytes` bytes and its index. Throws
  // std::bad_alloc when the address space or the element area is exhausted.
  std::byte* new_element_slot(std::size_t bytes, std::uint32_t& index);
  // Room for the next cold record and its index (never 0). Throws
  // std::bad_alloc when the cold area is exhausted.
  ElementCold* new_cold_slot(std::uint32_t& index);
  static ElementCold& cold_at(const std::byte* base, std::uint32_t index) {
    return reinterpret_cast<ElementCold*>(const_cast<std::byte*>(base) + kColdOffset)[index];
  }
  // Room for `bytes` characters in the text area and their handle.
  char* new_text(std::size_t bytes, std::uint32_t& id) {
    if (base_ != nullptr) {
      RegionHeader& h = header();
      if (h.text_used + bytes <= h.text_committed) {
        id = static_cast<std::uint32_t>(h.text_used);
        h.text_used += bytes;
        return reinterpret_cast<char*>(base_ + kTextsOffset + id);
      }
    }
    return new_text_committing(bytes, id);
  }
  // The characters of a text of the region equal to `text`, and their
  // handle: the same text is kept once. `text` is not empty.
  const char* intern_text(std::string_view text, std::uint32_t& id);
  // Drops the table of kept texts: from here on intern_text copies every
  // text. Names repeat while sources are read; the few texts kept later do
  // not pay for a table of every name in the run.
  void stop_interning();
  // Elements made so far.
  std::size_t element_count() const {
    return base_ == nullptr ? 0 : header().element_slots - 1;
  }
  std::byte* base() const { return base_; }
  RegionHeader& header() const { return *reinterpret_cast<RegionHeader*>(base_); }
  // Returns the whole region; the next use reserves a fresh one.
  void release();

 private:
  void reserve();
  bool claim(std::uintptr_t candidate);
  void commit(std::size_t offset, std::size_t& committed, std::size_t needed, std::size_t limit);
  char* new_text_committing(std::size_t bytes, std::uint32_t& id);
  // A copy of `text` with a NUL after it, and its handle.
  char* copy_text(std::string_view text, std::uint32_t& id);
  void grow_interned();

  std::byte* base_ = nullptr;
  // True when the whole span was reserved up front (inaccessible until
  // committed), the fallback when no free aligned span takes mappings in
  // place.
  bool reserved_ = false;
};

static_assert(ModelRegion::kSpan <= ModelRegion::kAlign, "the areas fit in one aligned region");

}  // namespace taloq
