#include "analysis/pipeline.h"

#include "driver/run_context.h"
#include "analysis/links.h"
#include "analysis/merge.h"
#include "analysis/numbering.h"
#include "analysis/plugs.h"
#include "analysis/prefixes.h"
#include "analysis/recursion.h"
#include "analysis/type_list.h"
#include "analysis/type_names.h"

namespace taloq {

int run_analysis(RunContext& run) {
  if (run.modules.empty() || run.modules.front()->elements == nullptr) return 0;
  // The sources are read: their names were kept once each, and the table
  // that found them again would only take memory from here on.
  run.texts.stop_interning();
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
