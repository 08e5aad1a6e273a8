#include "dump/element_tree.h"

#include <vector>

#include "dump/body_index.h"
#include "dump/element_fields.h"
#include "dump/json_output.h"
#include "parse/element.h"

namespace taloq {
namespace {

// One array being written: the next element and where the list ends.
struct OpenList {
  const Element* cursor;
  const Element* stop;
};

// Writes an element's object. Returns true when the object stays open for
// its "children", whose array has been started.
bool open_element(JsonOutput& json, BodyIndex& bodies, const Element& element) {
  json.start_object();
  write_element_fields(json, element);
  const Element* body = element.children();
  if (body != nullptr) {
    json.key("body");
    json.integer(bodies.number_of(body));
    if (element.link().empty() && bodies.claim_expansion(body)) {
      json.key("children");
      json.start_array();
      return true;
    }
  }
  json.end_object();
  return false;
}

}  // namespace

void write_element_list(JsonOutput& json, BodyIndex& bodies, const Element* first,
                        const Element* stop) {
  std::vector<OpenList> open{{first, stop}};
  json.start_array();
  while (!open.empty()) {
    const OpenList top = open.back();
    if (top.cursor == nullptr || top.cursor == top.stop) {
      json.end_array();
      open.pop_back();
      if (!open.empty()) json.end_object();  // the element that holds these children
      continue;
    }
    open.back().cursor = top.cursor->next();
    if (open_element(json, bodies, *top.cursor)) open.push_back({top.cursor->children(), nullptr});
  }
}

}  // namespace taloq
