#include "analysis/type_list.h"

#include <string_view>
#include <unordered_set>
#include <vector>

#include "driver/run_context.h"
#include "analysis/assertions.h"
#include "analysis/pointer_map.h"

namespace taloq {
namespace {

// The list under construction with its names in a hash set. Bodies are
// shared by plug copies, so the walk can reach one many times; a body seen
// before is not walked again, because its unions' members were all offered
// the first time and an entry is never added twice for a c_name. This also
// ends the walk at a body that a plug copy made contain itself.
class TypeListBuilder {
 public:
  TypeListBuilder(RunContext& run, Element* tail) : run_(run), tail_(tail) {
    for (const Element* entry = run.types; entry != nullptr; entry = entry->next_type()) {
      names_.insert(entry->c_name());
    }
  }

  Element* tail() const { return tail_; }

  void add_members(Element* members) {
    for (Element* member = members; member != nullptr; member = member->next()) {
      if (!names_.insert(member->c_name()).second) continue;
      if (tail_ == nullptr) {
        run_.types = member;
      } else {
        tail_->set_next_type(member);
      }
      member->set_next_type(nullptr);
      tail_ = member;
    }
  }

  void collect(Element* list) {
    std::vector<Element*> stack;  // the rest of each open list
    stack.push_back(list);
    while (!stack.empty()) {
      Element* element = stack.back();
      if (element == nullptr) {
        stack.pop_back();
        continue;
      }
      stack.back() = element->next();
      Element* body = visit(*element);
      if (body != nullptr && seen_.insert(body)) stack.push_back(body);
    }
  }

 private:
  // Offers a union's members and returns the body to continue in, if any.
  Element* visit(Element& element) {
    if (!element.link().empty()) return nullptr;
    switch (element.type()) {
      case ET_STRUCT: return element.children();
      case ET_UNION:
        // Copies of a union share its body; offering the members again
        // would add nothing.
        if (offered_.insert(element.children())) add_members(element.children());
        return element.children();
      case ET_LINK: expect_invariant(false, "0", 631); return nullptr;
      default: return nullptr;
    }
  }

  RunContext& run_;
  Element* tail_;
  std::unordered_set<std::string_view> names_;  // c_names do not change here
  PointerSet seen_;
  PointerSet offered_;
};

}  // namespace

Element* build_type_list(RunContext& run, Element* tail, Element* list) {
  TypeListBuilder builder(run, tail);
  builder.collect(list);
  return builder.tail();
}

Element* add_union_members(RunContext& run, Element* tail, Element* members) {
  TypeListBuilder builder(run, tail);
  builder.add_members(members);
  return builder.tail();
}

int type_list_lacks(const Element* head, std::string_view c_name) {
  for (const Element* entry = head; entry != nullptr; entry = entry->next_type()) {
    if (entry->c_name() == c_name) return 0;
  }
  return 1;
}

}  // namespace taloq
