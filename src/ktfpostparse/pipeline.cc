#include "ktfpostparse/pipeline.h"

#include "driver/run_context.h"
#include "ktfpostparse/links.h"
#include "ktfpostparse/merge.h"
#include "ktfpostparse/numbering.h"
#include "ktfpostparse/plugs.h"
#include "ktfpostparse/prefixes.h"
#include "ktfpostparse/recursion.h"
#include "ktfpostparse/type_list.h"
#include "ktfpostparse/type_names.h"

namespace taloq {

int run_analysis(RunContext& run) {
  if (run.modules.empty() || run.modules.front()->elements == nullptr) return 0;
  // Each step relies on what the earlier ones left; none runs once an error
  // has been counted, while a step that reports errors still completes.
  using Step = void (*)(RunContext&);
  static constexpr Step kSteps[] = {
      [](RunContext& r) { mark_top_level(r.modules.front()->elements); },
      derive_prefixes,
      expand_plugs,
      resolve_all_links,
      merge_elements,
      [](RunContext& r) { build_type_list(r, nullptr, r.merged_elements); },
      [](RunContext& r) { mark_recursion(r.merged_elements); },
      [](RunContext& r) { number_elements(r, r.merged_elements); },
      [](RunContext& r) { construct_type_names(r, r.merged_elements); },
  };
  for (const Step step : kSteps) {
    if (run.errors != 0) break;
    step(run);
  }
  return run.errors == 0 ? 1 : 0;
}

}  // namespace taloq
