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
// (RunContext::element_store) and their texts in the run's TextPool; every
// pointer between them is non-owning, so an element is trivially destroyed.
// Bodies are shared: a resolved reference (non-empty `link` on a type that is
// no longer ET_LINK) and a plug copy (`is_copy`) point at a body that belongs
// to another element. The fields are ordered by size and the flags are bits,
// which keeps a model of a million elements within a small multiple of its
// source text.
struct Element {
  Text name{kUnsetText};
  Text c_name{kUnsetText};
  Text tag{kUnsetText};
  Text link;
  Text const_text;
  // Null when no pattern was given.
  Text pattern = Text::null();
  Text type_name{kUnsetText};
  Element* children = nullptr;
  Element* next = nullptr;
  Element* next_type = nullptr;
  ModuleRecord* module = nullptr;
  // The module whose text declares the element (for a plug copy, the
  // plugging module), so the file `line` counts in: link resolution moves
  // `module` to the definition's module, this stays.
  ModuleRecord* source = nullptr;
  // Room for a back end's own data: RunContext::extra_bytes bytes, owned by
  // the run; null for plug copies and when no room was asked for.
  std::byte* extra = nullptr;
  std::int32_t type = ET_LINK;
  std::int32_t line = 0;
  std::int32_t value = -1;
  std::uint32_t min = 0;
  std::uint32_t max = 0;
  std::uint32_t cardinality_min = 0;
  std::int32_t cardinality_max = -1;
  std::int32_t mark = 0;
  std::int32_t ref_count = 0;
  bool constrained : 1 = false;
  bool min_negative : 1 = false;
  bool max_negative : 1 = false;
  bool has_cardinality : 1 = false;
  bool z_flag : 1 = false;
  bool is_plugin : 1 = false;
  bool top_level : 1 = false;
  bool list : 1 = false;
  bool dynamic : 1 = false;
  bool is_copy : 1 = false;
  bool recursive : 1 = false;
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
