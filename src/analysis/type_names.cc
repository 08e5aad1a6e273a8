#include "analysis/type_names.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "analysis/pointer_map.h"

namespace taloq {
namespace {

// Anything at least this long no longer fits, whatever the parent's name.
constexpr int kNoFit = static_cast<int>(kMaxLinkLength) + 1;
static_assert(kNoFit <= INT16_MAX);

bool descends(const Element& element) {
  return element.children() != nullptr && element.link().empty();
}

int name_step(const Element& member) {
  return 1 + static_cast<int>(member.c_name().size());
}

// Plug copies share bodies, so the naming walk meets a body once for every
// path to it, exponentially often in chains of plugs. Two facts avoid
// walking the paths:
// - Whether a visit under a parent name of length L meets an over-long name
//   depends only on the longest "_name_name..." suffix below the body: the
//   first over-long name is found by following, from the top, the first
//   element under which one lies.
// - A member's name is the one given on the last visit of its body, which
//   comes through the last visit of its parent. The last visit in walk order
//   is the first visit of a walk that takes every list from its end, with
//   each body entered once.
// A body that a plug copy made contain itself is met again and again with
// an ever longer name, so its suffix counts as unbounded and the fatal line
// stops the walk there, as the walk itself would.
class TypeNamer {
 public:
  explicit TypeNamer(RunContext& run) : run_(run) {}

  void stop_at_first_overlong(Element* members, std::string parent);
  void name_from_last_visits(std::vector<Element*> pending);

 private:
  int suffix_below(Element* body);
  [[noreturn]] void stop(const std::string& parent, const Element& member);

  struct Frame {
    Element* body;
    Element* at;
    int step;  // what the element that led here adds to the name
    int longest;
  };

  RunContext& run_;
  static constexpr int kOpen = -1;  // being computed
  PointerMap<std::int16_t> suffix_;  // capped at kNoFit, so 16 bits hold it
  std::vector<Frame> stack_;        // kept between walks to save allocating it
};

// Post-order over the bodies below, each computed once; a body still open
// when it is met again lies on a cycle.
int TypeNamer::suffix_below(Element* body) {
  if (const std::int16_t* known = suffix_.find(body); known != nullptr && *known != kOpen) {
    return *known;
  }
  *suffix_.try_emplace(body).first = kOpen;
  std::vector<Frame>& stack = stack_;
  stack.assign(1, {body, body, 0, 0});
  while (true) {
    Frame& top = stack.back();
    if (top.at == nullptr) {
      const Frame done = top;
      *suffix_.find(done.body) = static_cast<std::int16_t>(done.longest);
      stack.pop_back();
      if (stack.empty()) return done.longest;
      Frame& parent = stack.back();
      parent.longest = std::max(parent.longest, std::min(kNoFit, done.step + done.longest));
      continue;
    }
    Element& member = *top.at;
    top.at = member.next();
    if (!member.link().empty()) continue;
    const int step = name_step(member);
    int below = 0;
    if (member.children() != nullptr) {
      const auto [known, added] = suffix_.try_emplace(member.children());
      if (added) {
        *known = kOpen;
        stack.push_back({member.children(), member.children(), step, 0});
        continue;
      }
      below = *known == kOpen ? kNoFit : *known;
    }
    top.longest = std::max(top.longest, std::min(kNoFit, step + below));
  }
}

void TypeNamer::stop_at_first_overlong(Element* members, std::string parent) {
  if (static_cast<int>(parent.size()) + suffix_below(members) <= static_cast<int>(kMaxLinkLength)) {
    return;
  }
  Element* member = members;
  while (member != nullptr) {
    const int length = static_cast<int>(parent.size()) + name_step(*member);
    if (!member->link().empty()) {
      member = member->next();
    } else if (length > static_cast<int>(kMaxLinkLength)) {
      stop(parent, *member);
    } else if (member->children() != nullptr &&
               length + suffix_below(member->children()) > static_cast<int>(kMaxLinkLength)) {
      parent += '_';
      parent += member->c_name();
      member = member->children();
    } else {
      member = member->next();
    }
  }
}

void TypeNamer::stop(const std::string& parent, const Element& member) {
  print_direct(run_, "FATAL: Constructed type name is too long: %s_%s\n", parent.c_str(),
               member.c_name().c_str());
  throw FatalStop{};
}

// `pending` starts with elements whose type_name is final, in walk order.
// Worked from the back, it is the walk over every list from its end; a body
// is named when that walk first enters it, which is the last visit of the
// forward walk.
void TypeNamer::name_from_last_visits(std::vector<Element*> pending) {
  PointerSet entered;
  while (!pending.empty()) {
    Element& element = *pending.back();
    pending.pop_back();
    if (!descends(element) || !entered.insert(element.children())) continue;
    for (Element* member = element.children(); member != nullptr; member = member->next()) {
      if (!member->link().empty()) continue;
      member->derive_type_name(&element);
      pending.push_back(member);
    }
  }
}

}  // namespace

void construct_type_names(RunContext& run, Element* list) {
  TypeNamer namer(run);
  for (Element* element = list; element != nullptr; element = element->next()) {
    if (descends(*element))
      namer.stop_at_first_overlong(element->children(), element->c_name().str());
  }
  std::vector<Element*> top_level;
  for (Element* element = list; element != nullptr; element = element->next()) {
    element->set_type_name(element->c_name());
    top_level.push_back(element);
  }
  namer.name_from_last_visits(std::move(top_level));
}

void construct_member_type_names(RunContext& run, Element* members, std::string_view parent) {
  TypeNamer namer(run);
  namer.stop_at_first_overlong(members, std::string(parent));
  std::vector<Element*> named;
  for (Element* member = members; member != nullptr; member = member->next()) {
    if (!member->link().empty()) continue;
    member->set_type_name(run.texts.join(parent, "_", member->c_name()));
    named.push_back(member);
  }
  namer.name_from_last_visits(std::move(named));
}

}  // namespace taloq
