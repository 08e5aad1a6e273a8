#include "analysis/merge.h"

#include "driver/run_context.h"

namespace taloq {

void merge_elements(RunContext& run) {
  run.merged_elements = run.modules.empty() ? nullptr : run.modules.front()->elements;
  // The tail is carried along, so each list is walked once; a module
  // without elements (the loader keeps none) adds nothing to the chain.
  Element* tail = nullptr;
  for (ModuleRecord* module : run.modules) {
    if (module->elements == nullptr) continue;
    if (tail != nullptr) {
      tail->set_next(module->elements);
    } else if (run.merged_elements == nullptr) {
      run.merged_elements = module->elements;
    }
    tail = module->elements;
    while (tail->next() != nullptr) tail = tail->next();
  }
}

}  // namespace taloq
