#pragma once

#include <cstddef>

namespace taloq {

struct RunContext;
class Element;

// Releases the element model at the end of a run: every element reachable
// from the merged list through the bodies it owns, each once. The model must
// not be used afterwards.
void release_model(RunContext& run);

// Releases the elements of a list and of the bodies they own; returns how
// many were released. A plug copy and a resolved reference share a body that
// another element owns, so their bodies are left to that owner.
std::size_t release_elements(Element* list);

}  // namespace taloq
