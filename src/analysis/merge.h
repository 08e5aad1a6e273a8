#pragma once

namespace taloq {

struct RunContext;

// Chains the top-level lists of all modules, in load order, into the run's
// merged element list. Each module still points at its own first element.
void merge_elements(RunContext& run);

}  // namespace taloq
