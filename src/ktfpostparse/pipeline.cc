#include "ktfpostparse/pipeline.h"

#include "driver/run_context.h"

namespace taloq {

int run_analysis(RunContext& run) {
  if (run.modules.empty() || run.modules.front()->elements == nullptr) return 0;
  return run.errors == 0 ? 1 : 0;
}

}  // namespace taloq
