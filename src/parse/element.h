#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string_view>

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

// One declaration of a definition. Elements live in storage owned by the run
// and their texts in the run's TextPool; every link between them is
// non-owning, so an element is trivially destroyed. Bodies are shared: a
// resolved reference (non-empty link() on a type that is no longer ET_LINK)
// and a plug copy (is_copy()) point at a body that belongs to another
// element. The fields are reached through accessors, so that the record can
// be laid out for the passes that read it.
class Element {
 public:
  // -- texts ------------------------------------------------------------------
  // The declared name, its identifier-safe form, the tag (the name unless an
  // "as" clause replaced it; empty when untagged), the reference text of a
  // link element (kept on a resolved reference to a structure, union or
  // combined type), the expression of a constant, the pattern of a string
  // constraint (null when none was given) and the constructed type name.
  Text name() const { return name_; }
  Text c_name() const { return c_name_; }
  Text tag() const { return tag_; }
  Text link() const { return link_; }
  Text const_text() const { return const_text_; }
  Text pattern() const { return pattern_; }
  Text type_name() const { return type_name_; }
  void set_name(Text text) { name_ = text; }
  void set_c_name(Text text) { c_name_ = text; }
  void set_tag(Text text) { tag_ = text; }
  void set_link(Text text) { link_ = text; }
  void set_const_text(Text text) { const_text_ = text; }
  void set_pattern(Text text) { pattern_ = text; }
  void set_type_name(Text text) { type_name_ = text; }

  // -- links ------------------------------------------------------------------
  // The first element of the body (shared by resolved references and plug
  // copies), the next element of the same list, the next entry of the type
  // list, and the module: where the element was declared, or for a resolved
  // reference the module of its definition.
  Element* children() const { return children_; }
  Element* next() const { return next_; }
  Element* next_type() const { return next_type_; }
  ModuleRecord* module() const { return module_; }
  // The module whose text declares the element (for a plug copy, the
  // plugging module): the file its line counts in. Link resolution moves
  // module() to the definition's; this stays.
  ModuleRecord* source() const { return source_; }
  void set_children(Element* element) { children_ = element; }
  void set_next(Element* element) { next_ = element; }
  void set_next_type(Element* element) { next_type_ = element; }
  void set_module(ModuleRecord* module) { module_ = module; }
  void set_source(ModuleRecord* module) { source_ = module; }
  // Room for a back end's own data: RunContext::extra_bytes bytes, owned by
  // the run; null for plug copies and when no room was asked for.
  std::byte* extra() const { return extra_; }
  void set_extra(std::byte* room) { extra_ = room; }

  // -- numbers ------------------------------------------------------------------
  std::int32_t type() const { return type_; }
  std::int32_t line() const { return line_; }
  // The number within its list; -1 until numbering assigns it.
  std::int32_t value() const { return value_; }
  // Magnitudes of the bounds of the type constraint; the signs apart.
  std::uint32_t min() const { return min_; }
  std::uint32_t max() const { return max_; }
  std::uint32_t cardinality_min() const { return cardinality_min_; }
  // -1: no upper bound.
  std::int32_t cardinality_max() const { return cardinality_max_; }
  std::int32_t mark() const { return mark_; }
  std::int32_t ref_count() const { return ref_count_; }
  void set_type(std::int32_t type) { type_ = type; }
  void set_line(std::int32_t line) { line_ = line; }
  void set_value(std::int32_t value) { value_ = value; }
  void set_min(std::uint32_t min) { min_ = min; }
  void set_max(std::uint32_t max) { max_ = max; }
  void set_cardinality_min(std::uint32_t min) { cardinality_min_ = min; }
  void set_cardinality_max(std::int32_t max) { cardinality_max_ = max; }
  void set_mark(std::int32_t mark) { mark_ = mark; }
  void set_ref_count(std::int32_t count) { ref_count_ = count; }

  // -- flags ------------------------------------------------------------------
  bool constrained() const { return constrained_; }
  bool min_negative() const { return min_negative_; }
  bool max_negative() const { return max_negative_; }
  bool has_cardinality() const { return has_cardinality_; }
  bool z_flag() const { return z_flag_; }
  bool is_plugin() const { return is_plugin_; }
  bool top_level() const { return top_level_; }
  bool list() const { return list_; }
  bool dynamic() const { return dynamic_; }
  bool is_copy() const { return is_copy_; }
  bool recursive() const { return recursive_; }
  void set_constrained(bool on) { constrained_ = on; }
  void set_min_negative(bool on) { min_negative_ = on; }
  void set_max_negative(bool on) { max_negative_ = on; }
  void set_has_cardinality(bool on) { has_cardinality_ = on; }
  void set_z_flag(bool on) { z_flag_ = on; }
  void set_is_plugin(bool on) { is_plugin_ = on; }
  void set_top_level(bool on) { top_level_ = on; }
  void set_list(bool on) { list_ = on; }
  void set_dynamic(bool on) { dynamic_ = on; }
  void set_is_copy(bool on) { is_copy_ = on; }
  void set_recursive(bool on) { recursive_ = on; }

 private:
  Text name_{kUnsetText};
  Text c_name_{kUnsetText};
  Text tag_{kUnsetText};
  Text link_;
  Text const_text_;
  Text pattern_ = Text::null();
  Text type_name_{kUnsetText};
  Element* children_ = nullptr;
  Element* next_ = nullptr;
  Element* next_type_ = nullptr;
  ModuleRecord* module_ = nullptr;
  ModuleRecord* source_ = nullptr;
  std::byte* extra_ = nullptr;
  std::int32_t type_ = ET_LINK;
  std::int32_t line_ = 0;
  std::int32_t value_ = -1;
  std::uint32_t min_ = 0;
  std::uint32_t max_ = 0;
  std::uint32_t cardinality_min_ = 0;
  std::int32_t cardinality_max_ = -1;
  std::int32_t mark_ = 0;
  std::int32_t ref_count_ = 0;
  bool constrained_ : 1 = false;
  bool min_negative_ : 1 = false;
  bool max_negative_ : 1 = false;
  bool has_cardinality_ : 1 = false;
  bool z_flag_ : 1 = false;
  bool is_plugin_ : 1 = false;
  bool top_level_ : 1 = false;
  bool list_ : 1 = false;
  bool dynamic_ : 1 = false;
  bool is_copy_ : 1 = false;
  bool recursive_ : 1 = false;
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
