#include "backend_utils/classification.h"

#include "backend_utils/util_invariants.h"
#include "parse/element.h"

namespace taloq {
namespace {

int shared_body_class(const Element& element) {
  const bool is_union = element.type() == ET_UNION;
  if (!element.recursive()) return is_union ? 12 : 11;
  return is_union ? 14 : 13;
}

// Strings and byte blocks of bounded length that are not dynamic.
bool has_fixed_room(const Element& element) {
  return element.constrained() && !element.dynamic();
}

int class_by_type(const Element& element) {
  switch (element.type()) {
    case ET_NULL: return 0;
    case ET_BOOLEAN:
    case ET_INTEGER:
    case ET_FLOAT:
    case ET_DOUBLE: return 1;
    case ET_OID:
    case ET_DATE:
    case ET_TIME: return 2;
    case ET_IPV4:
    case ET_IPV6: return 3;
    case ET_CONST: return 4;
    case ET_ASCII:
    case ET_UNQUOTED_ASCII:
    case ET_UNICODE: return has_fixed_room(element) ? 5 : 6;
    case ET_BYTES:
    case ET_EMBEDDED: return has_fixed_room(element) ? 7 : 8;
    case ET_STRUCT:
    case ET_COMBINED: return 9;
    case ET_UNION: return 10;
    default: invariant_failed("0", kUtilFile, kLineTypeClass);
  }
}

}  // namespace

int type_class(const Element* ap_element) {
  if (!ap_element->link().empty() && ap_element->children() != nullptr) {
    return shared_body_class(*ap_element);
  }
  return class_by_type(*ap_element);
}

int cardinality_class(const Element* ap_element) {
  if (!ap_element->has_cardinality()) return 1;
  if (ap_element->cardinality_min() == 0 && ap_element->cardinality_max() == 1) return 0;
  if (ap_element->cardinality_max() == -1 || ap_element->list()) return 3;
  return 2;
}

}  // namespace taloq
