#pragma once

namespace taloq {

struct RunContext;

// Releases the element model at the end of a run; the model must not be
// used afterwards.
void release_model(RunContext& run);

}  // namespace taloq
