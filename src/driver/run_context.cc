#include "driver/run_context.h"

#include <iostream>

namespace taloq {

RunContext::RunContext() {
  init_run_context(*this);
}

const Element* module_elements_end(const RunContext& run, std::size_t index) {
  return index + 1 < run.modules.size() ? run.modules[index + 1]->elements : nullptr;
}

void init_run_context(RunContext& run) {
  run.modules.clear();
  run.merged_elements = nullptr;
  run.types = nullptr;
  run.prefix_option_1 = "ftlq_";
  run.prefix_option_2 = "u_";
  run.prefix_option_3 = "ttlq_";
  run.name_buffer.clear();
  run.name_option = &run.name_buffer;
  run.prefix_option_4 = "ftlq_";
  run.prefix_option_5 = "s_";
  run.plugin_base = 1000000000;
  run.base_option = 1000000000;
  run.flag_option_1 = 1;
  run.flag_option_2 = 1;
  run.main_source.reset();
  run.output = nullptr;
  run.errors = 0;
  run.warnings = 0;
  run.indent_depth = 0;
  run.column = 0;
  run.tab_count = 0;
  run.element_count = 0;
  run.extra_bytes = 0;
  run.console = &std::cout;
  run.notes = FrontEndNotes();
  run.observer = nullptr;
  run.open_source = nullptr;
  run.element_store.clear();
  run.module_store.clear();
  run.extra_store.clear();
  run.texts = TextPool(&run.element_store.region());
}

}  // namespace taloq
