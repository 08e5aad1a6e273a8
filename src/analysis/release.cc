#include "analysis/release.h"

#include <vector>

#include "driver/run_context.h"
#include "analysis/pointer_map.h"

namespace taloq {
namespace {

bool owns_body(const Element& element) {
  return element.children() != nullptr && !element.is_copy() && element.link().empty();
}

}  // namespace

// The records themselves belong to the run's storage, which frees them
// with the run. Releasing walks ownership as it runs, an owned body before
// the element that owns it is done with, so every element of the model is
// released exactly once and shared bodies only through their owner; the
// run then drops its lists.
std::size_t release_elements(Element* list) {
  std::size_t released = 0;
  PointerSet released_bodies;
  std::vector<Element*> pending{list};  // the rest of each open list
  while (!pending.empty()) {
    Element* element = pending.back();
    if (element == nullptr) {
      pending.pop_back();
      continue;
    }
    pending.back() = element->next();
    ++released;
    // Ownership forms a tree, so a body is met once; the set only makes
    // sure that a model built otherwise cannot make the walk go round.
    if (owns_body(*element) && released_bodies.insert(element->children())) {
      pending.push_back(element->children());
    }
  }
  return released;
}

void release_model(RunContext& run) {
  release_elements(run.merged_elements);
  run.merged_elements = nullptr;
  run.types = nullptr;
}

}  // namespace taloq
