#pragma once

namespace taloq {

struct RunContext;

// Ends the model's use at the end of a run: the run drops its merged list
// and its type list. The records themselves stand in the run's storage,
// which returns them all at once when the run is reset or destroyed, so
// nothing is visited one element at a time.
void release_model(RunContext& run);

}  // namespace taloq
