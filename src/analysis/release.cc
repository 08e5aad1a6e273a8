#include "analysis/release.h"

#include "driver/run_context.h"

namespace taloq {

void release_model(RunContext& run) {
  run.merged_elements = nullptr;
  run.types = nullptr;
}

}  // namespace taloq
