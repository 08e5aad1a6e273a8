#pragma once

#include <vector>

#include "parse/element.h"

namespace taloq {

// Depth first over element lists with an explicit stack, since bodies nest
// as deeply as the input does. A frame is any struct whose member `at` is the
// next element of its list still to visit.
// - `visit(frame, element)` sees each element of the top list in order and
//   may push frames for bodies to enter; it must not touch `frame` after a
//   push (the stack may have moved). Returning false ends the walk at once.
// - `close(frame)` runs when a frame's list is done, just before its pop.
// Returns false when a visit ended the walk, true when the stack ran empty.
template <class Frame, class Visit, class Close>
bool walk_lists(std::vector<Frame>& stack, Visit&& visit, Close&& close) {
  while (!stack.empty()) {
    Frame& top = stack.back();
    if (top.at == nullptr) {
      close(top);
      stack.pop_back();
      continue;
    }
    Element& element = *top.at;
    top.at = element.next();
    if (!visit(top, element)) return false;
  }
  return true;
}

}  // namespace taloq
