#include "analysis/links.h"

#include <algorithm>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "analysis/assertions.h"
#include "analysis/list_walk.h"
#include "analysis/module_index.h"
#include "analysis/pointer_map.h"

namespace taloq {
namespace {

constexpr int kMaxHops = 10;

void merge_cardinality(RunContext& run, Element& element, const Element& target) {
  if (!element.has_cardinality()) {
    element.set_has_cardinality(target.has_cardinality());
    element.set_cardinality_min(target.cardinality_min());
    element.set_cardinality_max(target.cardinality_max());
  } else if (target.has_cardinality()) {
    report(run, SEV_ERROR,
           "Illegal duplicate cardinality in original and target definitions of linked type %s "
           "from %s\n",
           target.name().c_str(), element.name().c_str());
  }
}

// The element becomes one of the definition's type; a reference to a
// structure, union or combined type keeps its text as the mark that its body
// is the definition's.
void take_definition(Element& element, Element& definition) {
  element.set_type(definition.type());
  element.set_constrained(definition.constrained());
  element.set_min(definition.min());
  element.set_max(definition.max());
  element.set_min_negative(definition.min_negative());
  element.set_max_negative(definition.max_negative());
  element.set_children(definition.children());
  element.set_module(definition.module());
  if (is_constructed(definition.type())) {
    element.set_type_name(definition.c_name());
  } else {
    element.set_link(Text());
  }
  definition.set_ref_count(definition.ref_count() + 1);
}

bool is_walked_type(const Element& element) {
  return element.type() == ET_STRUCT || element.type() == ET_UNION;
}

// The state of one search for a reachable link element.
struct LinkSearch {
  struct Frame {
    Element* body;
    Element* at;
    int lowest;  // earliest discovery reached that is in no complete group
  };

  void discover(Element* body) {
    *discovered.try_emplace(body).first = ++count;
    open.push_back(body);
    stack.push_back({body, body, count});
  }

  // Ends the search below the top body; a body that reaches nothing
  // discovered before it closes its group, which is then free of links.
  void complete(PointerSet& link_free) {
    const Frame done = stack.back();
    stack.pop_back();
    if (!stack.empty()) stack.back().lowest = std::min(stack.back().lowest, done.lowest);
    if (done.lowest != *discovered.find(done.body)) return;
    Element* member = nullptr;
    do {
      member = open.back();
      open.pop_back();
      link_free.insert(member);
    } while (member != done.body);
  }

  PointerMap<int> discovered;  // order of discovery, from 1
  std::vector<Element*> open;  // discovered, in no complete group yet
  std::vector<Frame> stack;
  int count = 0;
};

// Resolution with its lookup tables, and the bookkeeping that keeps the walk
// over shared bodies linear. A body is shared by plug copies (and, once
// resolved, by references), so the walk can reach it many times. Walking a
// body again changes something only while a link element can be reached from
// it: links are resolved once and then stay resolved, and a failed link is
// retried (and reported) on every visit. So a body walked before is walked
// again only when a link element is still reachable; once none is, none ever
// is again, since nothing in such a region can change during this pass.
class LinkResolver {
 public:
  explicit LinkResolver(RunContext& run) : run_(run), index_(run) {}

  int resolve(ModuleRecord& module, Element& element);
  void walk(ModuleRecord& module, Element* list);

 private:
  struct Frame {
    Element* body;
    Element* at;
  };

  void resolve_or_report(ModuleRecord& module, Element& element);
  bool should_enter(Element* body);
  bool reaches_no_link(Element* body);
  void enter(std::vector<Frame>& stack, Element* body);

  RunContext& run_;
  ModuleIndex index_;
  PointerSet open_;    // bodies on the walk's path
  PointerSet walked_;  // bodies whose walk has ended
  PointerSet link_free_;
};

int LinkResolver::resolve(ModuleRecord& module, Element& element) {
  ModuleRecord* reached = &module;
  std::string name;
  for (int hop = 0; hop < kMaxHops; ++hop) {
    ModuleRecord* found = nullptr;
    if (locate_module(index_, *reached, reached->imports, found, name, element.link()) == 0) {
      return 0;
    }
    reached = found;
    Element* target = index_.top_level_named(*reached, name);
    if (target == nullptr) continue;  // the hop is used up; retried from here
    if (target->type() == ET_LINK) {
      merge_cardinality(run_, element, *target);
      element.set_link(target->link());
      continue;
    }
    take_definition(element, *target);
    merge_cardinality(run_, element, *target);
    return 1;
  }
  return 0;
}

void LinkResolver::resolve_or_report(ModuleRecord& module, Element& element) {
  if (resolve(module, element) != 0) return;
  const std::string_view path =
      element.module() != nullptr ? std::string_view(element.module()->path) : std::string_view();
  report_at(run_, path, element.line(), SEV_ERROR, "Unable to expand definition of -%s- in -%s-\n",
            element.link().c_str(), element.c_name().c_str());
}

// A body open on the path is not entered again: the walk would not end.
bool LinkResolver::should_enter(Element* body) {
  if (body == nullptr || open_.contains(body)) return false;
  return !walked_.contains(body) || !reaches_no_link(body);
}

// A depth-first search that also keeps what it learns when it does meet a
// link element: each group of bodies that reach one another (found as in
// Tarjan's algorithm) whose search completed before that meets none, and
// neither does anything it reaches, so the group is kept as free of links
// and later searches skip it.
bool LinkResolver::reaches_no_link(Element* body) {
  if (link_free_.contains(body)) return true;
  LinkSearch search;
  search.discover(body);
  while (!search.stack.empty()) {
    LinkSearch::Frame& top = search.stack.back();
    if (top.at == nullptr) {
      search.complete(link_free_);
      continue;
    }
    Element& element = *top.at;
    top.at = element.next();
    if (element.type() == ET_LINK) return false;
    Element* inner = element.children();
    if (!is_walked_type(element) || inner == nullptr || link_free_.contains(inner)) continue;
    if (const int* order = search.discovered.find(inner)) {
      top.lowest = std::min(top.lowest, *order);  // in a group not yet complete
    } else {
      search.discover(inner);
    }
  }
  return true;
}

void LinkResolver::enter(std::vector<Frame>& stack, Element* body) {
  stack.push_back({body, body});
  open_.insert(body);
}

void LinkResolver::walk(ModuleRecord& module, Element* list) {
  std::vector<Frame> stack;
  if (list != nullptr) enter(stack, list);
  const auto visit = [&](Frame&, Element& element) {
    // The type before anything is done: a link resolved here to a structure
    // is walked where its definition stands, not through this element.
    if (is_walked_type(element)) {
      if (should_enter(element.children())) enter(stack, element.children());
    } else if (element.type() == ET_LINK) {
      resolve_or_report(module, element);
    }
    return true;
  };
  walk_lists(stack, visit, [&](const Frame& done) {
    open_.erase(done.body);
    walked_.insert(done.body);
  });
}

}  // namespace

int locate_module(ModuleIndex& index, ModuleRecord& current, const std::deque<ModuleAlias>& aliases,
                  ModuleRecord*& found, std::string& name, std::string_view link) {
  const std::size_t colon = link.find(':');
  std::string_view module_part = link.substr(0, colon);
  if (colon == std::string_view::npos) {
    name = module_part;
    found = &current;
    return 1;
  }
  expect_invariant(colon + 1 < link.size() && link[colon + 1] == ':',
                   "*ap_link == ':' && *(ap_link+1) == ':'", 251);
  const std::string_view rest = link.substr(colon + 2);
  name = rest.substr(0, rest.find(':'));
  if (const std::string* replaced = index.alias_target(aliases, module_part)) {
    module_part = *replaced;
  }
  found = index.module_named(module_part);
  return found != nullptr ? 1 : 0;
}

int locate_module(RunContext& run, ModuleRecord& current, const std::deque<ModuleAlias>& aliases,
                  ModuleRecord*& found, std::string& name, std::string_view link) {
  ModuleIndex index(run);
  return locate_module(index, current, aliases, found, name, link);
}

int resolve_link(RunContext& run, ModuleRecord& module, Element& element) {
  LinkResolver resolver(run);
  return resolver.resolve(module, element);
}

void resolve_links(RunContext& run, ModuleRecord& module, Element* list) {
  LinkResolver resolver(run);
  resolver.walk(module, list);
}

void resolve_all_links(RunContext& run) {
  LinkResolver resolver(run);
  for (ModuleRecord* module : run.modules) resolver.walk(*module, module->elements);
}

}  // namespace taloq
