#pragma once

namespace taloq {

class BodyIndex;
class JsonOutput;
class Element;

// Writes the list that starts at `first` as a JSON array of element
// objects, ending at `stop` or at the end of the list. An element with a
// body carries the body's number; the body's own elements follow as
// "children" at the first element, in document order, that has the body
// and no reference text. The walk keeps its own stack, so neither deep
// nesting nor long chains of shared bodies can exhaust the call stack.
void write_element_list(JsonOutput& json, BodyIndex& bodies, const Element* first,
                        const Element* stop);

}  // namespace taloq
