#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

#include "parse/model_region.h"
#include "parse/text.h"

namespace taloq {

struct ModuleRecord;
struct ParseContext;

// Type codes of an element. The values are part of the model that back ends
// read, so they are fixed and do not follow the token codes.
enum ElementType : std::int32_t {
  ET_STRUCT = 0,
  ET_UNION = 1,
  ET_COMBINED = 2,
  ET_NULL = 3,
  ET_BOOLEAN = 4,
  ET_INTEGER = 5,
  ET_FLOAT = 6,
  ET_DOUBLE = 7,
  ET_OID = 8,
  ET_ASCII = 9,
  ET_UNQUOTED_ASCII = 10,
  ET_UNICODE = 11,
  ET_BYTES = 12,
  ET_CONST = 13,
  ET_IPV4 = 14,
  ET_IPV6 = 15,
  ET_DATE = 16,
  ET_TIME = 17,
  ET_EMBEDDED = 18,
  ET_LINK = 19,
};

// Text held by name fields that were never filled (a statement abandoned
// after its first token, or a type name not yet constructed).
inline constexpr char kUnsetText[] = "___KTF_UnInitialised___";

// Longest name, tag and constant text the parser accepts.
inline constexpr std::size_t kMaxNameLength = 63;
// Longest reference text and constructed type name.
inline constexpr std::size_t kMaxLinkLength = 255;

// True for the types that may have a body, whose bodies references share.
constexpr bool is_constructed(std::int32_t type) {
  return type == ET_STRUCT || type == ET_UNION || type == ET_COMBINED;
}

// One declaration of a definition. Elements live in the run's ModelRegion
// (made only by its ElementStore) and every link between them is
// non-owning, so an element is trivially destroyed. Bodies are shared: a
// resolved reference (non-empty link() on a type that is no longer ET_LINK)
// and a plug copy (is_copy()) point at a body that belongs to another
// element. The fields are reached through accessors: the record holds 32-bit
// handles into its region instead of pointers, and the fields most elements
// never set stand out of line, so a model of a million elements takes a
// third of the memory it would with pointers.
class Element {
 public:
  // -- texts ------------------------------------------------------------------
  // The declared name, its identifier-safe form, the tag (the name unless an
  // "as" clause replaced it; empty when untagged), the reference text of a
  // link element (kept on a resolved reference to a structure, union or
  // combined type), the expression of a constant, the pattern of a string
  // constraint (null when none was given) and the constructed type name.
  // A text set from characters outside the run's pool is copied into it.
  Text name() const { return text_at(name_); }
  Text c_name() const { return mode(kCNameShift) == kSameAsName ? name() : c_name_apart(); }
  Text tag() const { return mode(kTagShift) == kSameAsName ? name() : tag_apart(); }
  Text link() const { return text_at(link_); }
  Text const_text() const { return !has_cold() ? Text() : text_at(cold().const_text); }
  Text pattern() const { return !has_cold() ? Text::null() : text_at(cold().pattern); }
  // A member's type name is kept as the element it derives from until
  // something reads it: a run that never reads type names (the checker)
  // stores none. The first read joins the parent's type name, "_" and the
  // c_name as they stand then, and keeps the result.
  Text type_name() const {
    return (type_name_ & kDerivedTypeName) == 0 ? text_at(type_name_) : derived_type_name();
  }
  void set_name(Text text);
  void set_c_name(Text text);
  void set_tag(Text text);
  // The name, with the c_name and the tag reading it: what set_name and
  // then set_c_name and set_tag of the new name() do, at the cost of one.
  void set_name_for_all(Text text) {
    set_name(text);
    set_mode(kCNameShift, kSameAsName);
    set_mode(kTagShift, kSameAsName);
  }
  void set_link(Text text) { link_ = text_id(text); }
  void set_const_text(Text text);
  void set_pattern(Text text);
  void set_type_name(Text text) { type_name_ = text_id(text); }
  // The type name becomes `parent`'s type name, "_" and this c_name.
  void derive_type_name(const Element* parent) { type_name_ = kDerivedTypeName | index_of(parent); }

  // -- links ------------------------------------------------------------------
  // The first element of the body (shared by resolved references and plug
  // copies), the next element of the same list, the next entry of the type
  // list, and the module: where the element was declared, or for a resolved
  // reference the module of its definition. Linked elements belong to the
  // same run.
  Element* children() const { return element_at(children_); }
  Element* next() const { return element_at(next_); }
  Element* next_type() const { return !has_cold() ? nullptr : element_at(cold().next_type); }
  ModuleRecord* module() const { return header().modules[module_]; }
  // The module whose text declares the element (for a plug copy, the
  // plugging module): the file its line counts in. Link resolution moves
  // module() to the definition's; this stays.
  ModuleRecord* source() const { return header().modules[source_]; }
  void set_children(Element* element) { children_ = index_of(element); }
  void set_next(Element* element) { next_ = index_of(element); }
  void set_next_type(Element* element);
  void set_module(ModuleRecord* module) { module_ = header().module_id(module); }
  void set_source(ModuleRecord* module) { source_ = header().module_id(module); }
  // Room for a back end's own data: RunContext::extra_bytes bytes, owned by
  // the run; null for plug copies and when no room was asked for.
  std::byte* extra() const { return !has_cold() ? nullptr : cold().extra; }
  void set_extra(std::byte* room);

  // -- numbers ------------------------------------------------------------------
  std::int32_t type() const { return type_; }
  std::int32_t line() const { return line_; }
  // The number within its list; -1 until numbering assigns it.
  std::int32_t value() const { return value_; }
  // Magnitudes of the bounds of the type constraint; the signs apart.
  std::uint32_t min() const { return min_; }
  std::uint32_t max() const { return max_; }
  std::uint32_t cardinality_min() const {
    return flag(kCardinalityApart) ? cold().cardinality_min : cardinality_ & kNibble;
  }
  // -1: no upper bound.
  std::int32_t cardinality_max() const {
    if (flag(kCardinalityApart)) return cold().cardinality_max;
    const std::uint32_t upper = cardinality_ >> 4;
    return upper == kNoUpperBound ? -1 : static_cast<std::int32_t>(upper);
  }
  std::int32_t mark() const { return !has_cold() ? 0 : cold().mark; }
  std::int32_t ref_count() const {
    if ((cold_ & kRefCountHere) != 0) return static_cast<std::int32_t>(cold_ & ~kRefCountHere);
    return !has_cold() ? 0 : cold().ref_count;
  }
  // Type codes are the ET_ values, 0 to 19.
  void set_type(std::int32_t type) { type_ = static_cast<std::uint8_t>(type); }
  void set_line(std::int32_t line) { line_ = line; }
  void set_value(std::int32_t value) { value_ = value; }
  void set_min(std::uint32_t min) { min_ = min; }
  void set_max(std::uint32_t max) { max_ = max; }
  void set_cardinality_min(std::uint32_t min) { set_cardinality(min, cardinality_max()); }
  void set_cardinality_max(std::int32_t max) { set_cardinality(cardinality_min(), max); }
  void set_mark(std::int32_t mark);
  void set_ref_count(std::int32_t count);

  // -- flags ------------------------------------------------------------------
  bool constrained() const { return flag(kConstrained); }
  bool min_negative() const { return flag(kMinNegative); }
  bool max_negative() const { return flag(kMaxNegative); }
  bool has_cardinality() const { return flag(kHasCardinality); }
  bool z_flag() const { return flag(kZFlag); }
  bool is_plugin() const { return flag(kIsPlugin); }
  bool top_level() const { return flag(kTopLevel); }
  bool list() const { return flag(kList); }
  bool dynamic() const { return flag(kDynamic); }
  bool is_copy() const { return flag(kIsCopy); }
  bool recursive() const { return flag(kRecursive); }
  void set_constrained(bool on) { set_flag(kConstrained, on); }
  void set_min_negative(bool on) { set_flag(kMinNegative, on); }
  void set_max_negative(bool on) { set_flag(kMaxNegative, on); }
  void set_has_cardinality(bool on) { set_flag(kHasCardinality, on); }
  void set_z_flag(bool on) { set_flag(kZFlag, on); }
  void set_is_plugin(bool on) { set_flag(kIsPlugin, on); }
  void set_top_level(bool on) { set_flag(kTopLevel, on); }
  void set_list(bool on) { set_flag(kList, on); }
  void set_dynamic(bool on) { set_flag(kDynamic, on); }
  void set_is_copy(bool on) { set_flag(kIsCopy, on); }
  void set_recursive(bool on) { set_flag(kRecursive, on); }

 private:
  friend class ElementStore;

  enum Flag : std::uint16_t {
    kConstrained = 1 << 0,
    kMinNegative = 1 << 1,
    kMaxNegative = 1 << 2,
    kHasCardinality = 1 << 3,
    kZFlag = 1 << 4,
    kIsPlugin = 1 << 5,
    kTopLevel = 1 << 6,
    kList = 1 << 7,
    kDynamic = 1 << 8,
    kIsCopy = 1 << 9,
    kRecursive = 1 << 10,
    // The cardinality stands in the cold record, not in cardinality_.
    kCardinalityApart = 1 << 15,
  };
  // Where c_name and tag are: most elements use the name for both.
  enum TextMode : std::uint8_t { kSameAsName = 0, kUnset = 1, kEmpty = 2, kOutOfLine = 3 };

  Element() = default;
  Element(const Element&) = default;
  Element& operator=(const Element&) = default;

  bool flag(Flag f) const { return (flags_ & f) != 0; }
  void set_flag(Flag f, bool on) {
    flags_ = static_cast<std::uint16_t>(on ? flags_ | f : flags_ & ~f);
  }
  const std::byte* base() const { return ModelRegion::base_of(this); }
  RegionHeader& header() const { return ModelRegion::header_of(this); }
  // Most referenced definitions need no other out-of-line field, so their
  // reference count stands in cold_ itself, marked by its top bit (cold
  // record indices stay far below 2^31); a record, once made, holds it.
  static constexpr std::uint32_t kRefCountHere = std::uint32_t{1} << 31;
  static_assert(ModelRegion::kColdBytes / sizeof(ElementCold) < kRefCountHere);
  bool has_cold() const { return cold_ != 0 && (cold_ & kRefCountHere) == 0; }
  const ElementCold& cold() const { return ModelRegion::cold_at(base(), cold_); }
  ElementCold& cold_for_writing();
  Text text_at(std::uint32_t id) const;
  std::uint32_t text_id(Text text);
  Element* element_at(std::uint32_t index) const;
  std::uint32_t index_of(const Element* element) const;
  // The c_name's mode stands in flags_ at kCNameShift, the tag's at
  // kTagShift, two bits each.
  static constexpr int kCNameShift = 11;
  static constexpr int kTagShift = 13;
  TextMode mode(int shift) const { return static_cast<TextMode>((flags_ >> shift) & 3); }
  void set_mode(int shift, TextMode mode) {
    flags_ = static_cast<std::uint16_t>((flags_ & ~(3 << shift)) | (mode << shift));
  }
  Text mode_text(int shift, std::uint32_t out_of_line) const;
  Text c_name_apart() const;
  Text tag_apart() const;
  // Text handles and element indices both stay below 2^31, so the top bit of
  // type_name_ tells which of them it holds.
  static constexpr std::uint32_t kDerivedTypeName = std::uint32_t{1} << 31;
  Text derived_type_name() const;
  void set_mode_text(int shift, std::uint32_t ElementCold::*field, Text text);
  // Packed cardinalities: the lower bound in the low four bits, the upper
  // one in the high four, kNoUpperBound there for "no upper bound".
  static constexpr std::uint32_t kNibble = 15;
  static constexpr std::uint32_t kNoUpperBound = kNibble;
  void set_cardinality(std::uint32_t min, std::int32_t max);

  std::uint32_t name_ = kUnsetTextId;
  std::uint32_t link_ = kEmptyTextId;
  std::uint32_t type_name_ = kUnsetTextId;
  std::uint32_t children_ = 0;
  std::uint32_t next_ = 0;
  // Module handles are 16 bits: a run holds at most kMaxModules modules.
  std::uint16_t module_ = 0;
  std::uint16_t source_ = 0;
  std::int32_t line_ = 0;
  std::int32_t value_ = -1;
  std::uint32_t min_ = 0;
  std::uint32_t max_ = 0;
  std::uint32_t cold_ = 0;
  std::uint8_t type_ = ET_LINK;
  // Nearly every cardinality fits in one byte (see kNibble); any other
  // stands in the cold record under kCardinalityApart.
  std::uint8_t cardinality_ = kNoUpperBound << 4;
  std::uint16_t flags_ = kUnset << kCNameShift | kUnset << kTagShift;
};

// A million elements take 48 MB; a field added here costs each of them.
static_assert(sizeof(Element) == 48);

inline Text Element::text_at(std::uint32_t id) const {
  if (id < kFirstKeptTextId) {
    return id == kEmptyTextId ? Text() : id == kNullTextId ? Text::null() : Text(kUnsetText);
  }
  return Text::borrow(reinterpret_cast<const char*>(base() + ModelRegion::kTextsOffset + id));
}

inline Element* Element::element_at(std::uint32_t index) const {
  if (index == 0) return nullptr;
  return reinterpret_cast<Element*>(const_cast<std::byte*>(base()) + ModelRegion::kElementsOffset +
                                    std::size_t{index} * sizeof(Element));
}

inline std::uint32_t Element::index_of(const Element* element) const {
  if (element == nullptr) return 0;
  const auto offset = reinterpret_cast<const std::byte*>(element) - base() -
                      static_cast<std::ptrdiff_t>(ModelRegion::kElementsOffset);
  return static_cast<std::uint32_t>(static_cast<std::size_t>(offset) / sizeof(Element));
}

// Makes the elements of one run in its ModelRegion: in order, never moved,
// released all at once with the region.
class ElementStore {
 public:
  ElementStore() = default;
  ElementStore(const ElementStore&) = delete;
  ElementStore& operator=(const ElementStore&) = delete;

  // A new element with every field at its default.
  Element& emplace_back();
  // A new element with the fields of `original` (an element of this run);
  // its out-of-line fields are its own.
  Element& emplace_back(const Element& original);
  std::size_t size() const { return region_.element_count(); }
  // The elements in the order they were made, from 0.
  Element& operator[](std::size_t i) const;
  // Releases every element and text.
  void clear() { region_.release(); }

  class Iterator {
   public:
    Iterator(const ElementStore* store, std::size_t i) : store_(store), i_(i) {}
    Element& operator*() const { return (*store_)[i_]; }
    Iterator& operator++() {
      ++i_;
      return *this;
    }
    bool operator==(const Iterator& other) const { return i_ == other.i_; }

   private:
    const ElementStore* store_;
    std::size_t i_;
  };
  Iterator begin() const { return {this, 0}; }
  Iterator end() const { return {this, size()}; }
  ModelRegion& region() { return region_; }

 private:
  ModelRegion region_;
};

// Creates an element for the statement being parsed: line and module from
// the context, the optional cardinality 0..1 once the current block has seen
// a "[", and the run's extra bytes. The caller sets `type` and links it.
Element* create_element(ParseContext& ctx);

// The rules every member of a combined type keeps (integer, const or
// unquoted ascii; a const that does not begin with a digit; an unquoted
// ascii of fixed length): calls `fault` with the message of each rule the
// member breaks, in that order. The message takes the member's name.
void for_each_combined_member_fault(const Element& member,
                                    const std::function<void(const char* format)>& fault);

}  // namespace taloq
