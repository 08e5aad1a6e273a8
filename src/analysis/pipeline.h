#pragma once

namespace taloq {

struct RunContext;

// The analysis after a clean load: its passes in their fixed order, each
// only while the run's error count is 0. Returns 1 when every pass ran and
// the run is still free of errors, else 0.
int run_analysis(RunContext& run);

}  // namespace taloq
