#include "backend_utils/debug_dump.h"

#include <iostream>
#include <unordered_set>
#include <vector>

#include "driver/diagnostics.h"
#include "parse/element.h"

namespace taloq {
namespace {

void dump_entry(std::ostream& out, const Element& element, int level) {
  out << format_text(
      "%d: (Name %s) (Type %s) (Tag %s) \n"
      "         (Has cardinality %d) (Cardinality min %u) (Cardinality max %d)\n"
      "         (Constrained %d) (Min %u) (Max %u)\n",
      level, element.c_name().c_str(), "<DEBUG - needs code fix to map types>",
      element.tag().c_str(), element.has_cardinality() ? 1 : 0, element.cardinality_min(),
      element.cardinality_max(), element.constrained() ? 1 : 0, element.min(), element.max());
}

// One list on the way down: the body it is, the next element to write and
// the level of its entries.
struct OpenList {
  const Element* body;
  const Element* cursor;
  int level;
};

}  // namespace

void debug_dump(const Element* list, int level, std::ostream& out) {
  std::vector<OpenList> path{{list, list, level}};
  std::unordered_set<const Element*> open{list};
  while (!path.empty()) {
    const OpenList top = path.back();
    if (top.cursor == nullptr) {
      open.erase(top.body);
      path.pop_back();
      continue;
    }
    const Element& element = *top.cursor;
    path.back().cursor = element.next();
    dump_entry(out, element, top.level);
    const Element* body = element.children();
    if (body != nullptr && element.link().empty() && open.insert(body).second) {
      path.push_back({body, body, top.level + 1});
    }
  }
}

void debug_dump(const Element* list, int level) {
  debug_dump(list, level, std::cout);
}

}  // namespace taloq
