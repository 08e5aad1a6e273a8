#include "driver/front_end_notes.h"

#include "driver/run_context.h"
#include "source/config_file.h"
#include "source/parse_context.h"

namespace taloq {

void note_number_at_maximum(ParseContext& ctx, std::string_view text) {
  if (!ctx.run->notes.wanted) return;
  ctx.run->notes.numbers_at_maximum.push_back({ctx.path, ctx.line, std::string(text)});
}

void note_open_bracket(ParseContext& ctx, std::int32_t bracket_line) {
  if (!ctx.run->notes.wanted) return;
  ctx.run->notes.open_brackets.push_back({ctx.path, bracket_line, {}});
}

void note_config_line(const ConfigState& state, const std::vector<std::string_view>& words) {
  if (!state.run->notes.wanted) return;
  NotedConfigLine& noted = state.run->notes.config_lines.emplace_back();
  noted.file = state.file_name;
  noted.line = state.line;
  noted.words.assign(words.begin(), words.end());
  noted.selected = state.selected;
}

void note_dropped_module(RunContext& run, const ModuleRecord& module) {
  // A file of many empty modules must not cost a record each: only a module
  // whose statements are lost with it is worth keeping.
  if (!run.notes.wanted) return;
  if (module.plugs.empty() && module.imports.empty() && module.extends.empty()) return;
  ModuleRecord& kept = run.notes.dropped_modules.emplace_back(module);
  kept.elements = nullptr;
  for (PlugRecord& plug : kept.plugs) plug.body = nullptr;
}

void note_source(RunContext& run, const std::string& path, std::size_t modules) {
  if (!run.notes.wanted) return;
  run.notes.sources.push_back({path, modules});
}

}  // namespace taloq
