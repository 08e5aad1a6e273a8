#include "analysis/recursion.h"

#include <vector>

#include "analysis/list_walk.h"
#include "analysis/pointer_map.h"
#include "parse/element.h"

namespace taloq {
namespace {

// The walk from a top-level body follows every path through the bodies
// below it, which on shared bodies means exponentially many paths; its only
// effect is the marks. A mark falls on an element whose body is on the path,
// and every path into a body runs through unmarked elements, so each mark
// closes a cycle of elements that were all unmarked when the walk below it
// began. Hence a walk from a body that reaches no cycle of unmarked elements
// sets no mark and can be skipped; marks are only ever added, so a body
// found free of such cycles stays free, and the finding is kept.
class RecursionMarker {
 public:
  void walk_from(Element* body);

 private:
  struct Frame {
    Element* body;
    Element* at;
  };

  enum class State { kUnseen, kOpen, kDone };
  using SearchState = PointerMap<State>;

  bool reaches_no_cycle(Element* body);
  void keep_done(const SearchState& state, const std::vector<const Element*>& searched);

  PointerSet acyclic_;  // bodies that reach no cycle of unmarked elements
  // The search's lists, kept between searches so that the one search per
  // top-level body does not allocate them each time.
  std::vector<const Element*> searched_;
  std::vector<Frame> search_stack_;
};

bool on_path(const PointerMap<char>& path, const Element* body) {
  const char* open = path.find(body);
  return open != nullptr && *open != 0;
}

bool edge_followed(const Element& element) {
  return element.children() != nullptr && !element.recursive();
}

void RecursionMarker::walk_from(Element* top_body) {
  if (reaches_no_cycle(top_body)) return;
  std::vector<Frame> stack{{top_body, top_body}};
  PointerMap<char> path;  // 1 while the body is open on the path
  *path.try_emplace(top_body).first = 1;
  const auto visit = [&](Frame&, Element& element) {
    if (element.children() == nullptr) return true;
    if (on_path(path, element.children())) element.set_recursive(true);
    if (element.recursive() || reaches_no_cycle(element.children())) return true;
    stack.push_back({element.children(), element.children()});
    *path.try_emplace(element.children()).first = 1;
    return true;
  };
  walk_lists(stack, visit, [&](const Frame& done) { *path.find(done.body) = 0; });
}

// Depth-first search over unmarked elements; an edge back to a body still
// on the search stack is a cycle. When none is found, every body searched is
// free of cycles.
bool RecursionMarker::reaches_no_cycle(Element* body) {
  if (acyclic_.contains(body)) return true;
  SearchState state;
  std::vector<const Element*>& searched = searched_;
  searched.assign(1, body);
  *state.try_emplace(body).first = State::kOpen;
  std::vector<Frame>& stack = search_stack_;
  stack.assign(1, {body, body});
  const auto visit = [&](Frame&, Element& element) {
    if (!edge_followed(element) || acyclic_.contains(element.children())) return true;
    const auto [known, added] = state.try_emplace(element.children());
    if (!added) return *known != State::kOpen;  // an open body met again closes a cycle
    *known = State::kOpen;
    searched.push_back(element.children());
    stack.push_back({element.children(), element.children()});
    return true;
  };
  const bool acyclic =
      walk_lists(stack, visit, [&](const Frame& done) { *state.find(done.body) = State::kDone; });
  keep_done(state, searched);
  return acyclic;
}

// A body the search finished before it met its first cycle reaches only
// finished bodies and bodies known to be free of cycles, so it is free too.
void RecursionMarker::keep_done(const SearchState& state,
                                const std::vector<const Element*>& searched) {
  for (const Element* body : searched) {
    if (*state.find(body) == State::kDone) acyclic_.insert(body);
  }
}

}  // namespace

void mark_recursion(Element* list) {
  RecursionMarker marker;
  for (Element* element = list; element != nullptr; element = element->next()) {
    if (element->children() != nullptr) marker.walk_from(element->children());
  }
}

}  // namespace taloq
