#include "backend_utils/cardinality_printer.h"

#include <cstdint>

#include "driver/run_context.h"
#include "backend_utils/indented_printer.h"
#include "backend_utils/util_invariants.h"
#include "parse/element.h"

namespace taloq {

int print_cardinality(RunContext& run, int, const Element* ap_element) {
  util_invariant(ap_element->has_cardinality(), "ap_element->has_cardinality", kLineCardinality);
  print_indented(run, "[%lu..", static_cast<unsigned long>(ap_element->cardinality_min()));
  if (ap_element->cardinality_max() == -1) {
    print_indented(run, "*]");
  } else {
    // The upper bound is held signed only to make room for the -1 above.
    const auto max = static_cast<std::uint32_t>(ap_element->cardinality_max());
    print_indented(run, "%lu]", static_cast<unsigned long>(max));
  }
  return 1;
}

}  // namespace taloq
