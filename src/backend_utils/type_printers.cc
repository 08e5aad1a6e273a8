#include "backend_utils/type_printers.h"

#include "driver/run_context.h"
#include "backend_utils/indented_printer.h"
#include "backend_utils/integer_printers.h"
#include "backend_utils/util_invariants.h"
#include "parse/element.h"

namespace taloq {
namespace {

constexpr const char* kNoLink = "ap_element->link[0] == '\\0'";

// The fixed type names of print_type_name; null where the name depends on
// the element (integers) or the type has no such name.
const char* scalar_type_name(std::int32_t type) {
  switch (type) {
    case ET_NULL: return "void";
    case ET_BOOLEAN: return "bool";
    case ET_FLOAT: return "float";
    case ET_DOUBLE: return "double";
    case ET_OID: return "oid";
    case ET_ASCII:
    case ET_UNQUOTED_ASCII: return "ascii";
    case ET_UNICODE: return "unicode";
    case ET_BYTES: return "bytes";
    case ET_CONST: return "const";
    case ET_IPV4: return "ipv4";
    case ET_IPV6: return "ipv6";
    case ET_DATE: return "date";
    case ET_TIME: return "time";
    case ET_EMBEDDED: return "embedded";
    default: return nullptr;
  }
}

// The value type names that differ from print_type_name; null otherwise.
const char* value_type_name(const Element& element) {
  switch (element.type()) {
    case ET_INTEGER: return element.min_negative() ? "int" : "unsint";
    case ET_FLOAT: return "double";
    case ET_ASCII: return "quoted_ascii";
    case ET_UNQUOTED_ASCII: return "unquoted_ascii";
    default: return nullptr;
  }
}

const char* compound_kind(std::int32_t type) {
  switch (type) {
    case ET_STRUCT: return "struct";
    case ET_UNION: return "union";
    case ET_COMBINED: return "combi";
    default: return nullptr;
  }
}

}  // namespace

int print_compound_kind(RunContext& run, int, const Element* ap_element) {
  const char* kind = compound_kind(ap_element->type());
  util_invariant(kind != nullptr, "0", kLineCompoundKind);
  print_indented(run, "%s", kind);
  return 1;
}

int print_type_name(RunContext& run, int, const Element* ap_element) {
  util_invariant(ap_element->link().empty(), kNoLink, kLineTypeNameLink);
  if (ap_element->type() == ET_INTEGER) {
    print_int_width(run, ap_element);
    return 1;
  }
  const char* name = scalar_type_name(ap_element->type());
  util_invariant(name != nullptr, "0", kLineTypeNameType);
  print_indented(run, "%s", name);
  return 1;
}

int print_value_type_name(RunContext& run, int level, const Element* ap_element) {
  util_invariant(ap_element->link().empty(), kNoLink, kLineValueTypeNameLink);
  const char* name = value_type_name(*ap_element);
  if (name == nullptr) return print_type_name(run, level, ap_element);
  print_indented(run, "%s", name);
  return 1;
}

}  // namespace taloq
