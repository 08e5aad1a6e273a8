#pragma once

namespace taloq {

class Element;

// Marks as recursive every element whose body is already open on the way
// down from its top-level element, descending into every body that is not
// marked, shared bodies included. `list` is the top level.
void mark_recursion(Element* list);

}  // namespace taloq
