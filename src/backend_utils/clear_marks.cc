#include "backend_utils/clear_marks.h"

#include <unordered_set>
#include <vector>

#include "parse/element.h"

namespace taloq {

void clear_marks(Element* list) {
  std::vector<Element*> pending{list};
  std::unordered_set<const Element*> seen{list};
  while (!pending.empty()) {
    Element* element = pending.back();
    pending.pop_back();
    for (; element != nullptr; element = element->next()) {
      element->set_mark(0);
      Element* body = element->children();
      if (body != nullptr && !element->recursive() && seen.insert(body).second) {
        pending.push_back(body);
      }
    }
  }
}

}  // namespace taloq
