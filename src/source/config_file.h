#pragma once

#include <string>
#include <string_view>

namespace taloq {

struct RunContext;
struct ModuleRecord;
class Element;

// What one configuration file's lines work on while it is read.
struct ConfigState {
  RunContext* run = nullptr;
  std::string file_name;  // the source path followed by "cfg"
  int line = 0;           // lines read so far
  ModuleRecord* selected = nullptr;
};

// Applies the configuration file of one source (its path with "cfg"
// appended), if there is one: module selections, prefixes, and the list and
// dynamic flags of items.
void apply_config_file(RunContext& run, const std::string& source_path);

// Applies one directive ("list" or "dynamic") to the item at `item_path` of
// the selected module, with a warning when either is unknown.
void apply_directive(ConfigState& state, std::string_view item_path, std::string_view directive);

// The element at a dotted path of top-level name and member names, or none.
// A null module has no items.
Element* find_item(const ModuleRecord* module, std::string_view item_path);

}  // namespace taloq
