#include "dump/model_json.h"

#include <deque>
#include <ostream>

#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "dump/body_index.h"
#include "dump/element_tree.h"
#include "dump/json_output.h"

namespace taloq {
namespace {

void write_aliases(JsonOutput& json, const char* key, const std::deque<ModuleAlias>& aliases) {
  json.key(key);
  json.start_array();
  for (const ModuleAlias& alias : aliases) {
    json.start_object();
    json.key("alias");
    json.text(alias.alias);
    json.key("module");
    json.text(alias.module_name);
    json.end_object();
  }
  json.end_array();
}

// `stop` is the first element of the next module: the merged list runs on
// into it.
void write_module(JsonOutput& json, BodyIndex& bodies, const ModuleRecord& module,
                  const Element* stop) {
  json.start_object();
  json.key("name");
  json.text(module.name);
  json.key("path");
  json.text(module.path);
  json.key("prefix");
  json.optional_text(module.prefix);
  write_aliases(json, "imports", module.imports);
  write_aliases(json, "extends", module.extends);
  json.key("elements");
  write_element_list(json, bodies, module.elements, stop);
  json.end_object();
}

void write_modules(JsonOutput& json, const RunContext& run) {
  BodyIndex bodies;
  json.key("modules");
  json.start_array();
  for (std::size_t i = 0; i < run.modules.size(); ++i) {
    write_module(json, bodies, *run.modules[i], module_elements_end(run, i));
  }
  json.end_array();
}

void write_types(JsonOutput& json, const RunContext& run) {
  json.key("types");
  json.start_array();
  for (const Element* entry = run.types; entry != nullptr; entry = entry->next_type()) {
    json.start_object();
    json.key("c_name");
    json.text(entry->c_name());
    json.key("type_name");
    json.text(entry->type_name());
    json.key("line");
    json.integer(entry->line());
    // The file that line is in, so a script need not work out where a
    // shared or plugged member was written.
    json.key("path");
    json.text(entry->source() != nullptr ? std::string_view(entry->source()->path) : "");
    json.end_object();
  }
  json.end_array();
}

}  // namespace

void write_model_json(const RunContext& run, std::ostream& out) {
  {
    JsonOutput json(out);
    json.start_object();
    write_modules(json, run);
    write_types(json, run);
    json.end_object();
  }
  out << '\n';
}

BackEnd json_back_end(std::ostream& out) {
  return [&out](RunContext& run, std::span<const std::string>) {
    write_model_json(run, out);
    out.flush();
    if (!out) report(run, SEV_ERROR, "Unable to write the model as JSON");
  };
}

}  // namespace taloq
