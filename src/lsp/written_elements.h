#pragma once

#include <functional>

namespace taloq {
struct RunContext;
struct ModuleRecord;
class Element;
}  // namespace taloq

namespace taloq::lsp {

// Calls `visit` once for every element written in the text of the run's
// modules: the top-level lists, the plug bodies, and the bodies nested in
// them, each element with the module whose text holds it. What the analysis
// added is left out: a body reached through a resolved reference belongs to
// the definition, and a plug copy stands for an element of the plug body.
// Works on the model as parsed and as analysed alike.
void for_each_written_element(RunContext& run,
                              const std::function<void(const Element&, ModuleRecord&)>& visit);

// True when the element's body is its own (written between its braces), so
// that a walk over what was written descends into it.
bool has_own_body(const Element& element);

}  // namespace taloq::lsp
