#include "source/config_file.h"

#include <vector>

#include "driver/diagnostics.h"
#include "driver/front_end_notes.h"
#include "driver/run_context.h"
#include "lex/char_class.h"
#include "source/text_file.h"

namespace taloq {

Element* find_item(const ModuleRecord* module, std::string_view item_path) {
  Element* current = module != nullptr ? module->elements : nullptr;
  std::string_view rest = item_path;
  while (!rest.empty() && current != nullptr) {
    const std::size_t dot = rest.find('.');
    const std::string_view segment = rest.substr(0, dot);
    while (current != nullptr && current->name() != segment) current = current->next();
    if (dot == std::string_view::npos) {
      rest = {};
    } else {
      rest.remove_prefix(dot);
      if (current != nullptr) {
        rest.remove_prefix(1);
        current = current->children();
      }
    }
  }
  return current;
}

void apply_directive(ConfigState& state, std::string_view item_path, std::string_view directive) {
  Element* item = find_item(state.selected, item_path);
  if (item == nullptr) {
    report_at(*state.run, state.file_name, state.line, SEV_WARNING, "Unable to locate item: %s",
              std::string(item_path).c_str());
  } else if (directive == "list") {
    item->set_list(true);
  } else if (directive == "dynamic") {
    item->set_dynamic(true);
  } else {
    report_at(*state.run, state.file_name, state.line, SEV_WARNING,
              "Unrecognised configuration directive: %s", std::string(directive).c_str());
  }
}

namespace {

std::vector<std::string_view> split_words(std::string_view line) {
  constexpr std::string_view kSeparators = " \t\n\r";
  std::vector<std::string_view> words;
  std::size_t at = line.find_first_not_of(kSeparators);
  while (at != std::string_view::npos) {
    const std::size_t end = line.find_first_of(kSeparators, at);
    words.push_back(line.substr(at, end - at));
    if (end == std::string_view::npos) break;
    at = line.find_first_not_of(kSeparators, end);
  }
  return words;
}

ModuleRecord* first_module_of(const RunContext& run, std::string_view path, std::string_view name,
                              bool match_name) {
  for (ModuleRecord* module : run.modules) {
    if (module->path == path && (!match_name || module->name == name)) return module;
  }
  return nullptr;
}

// Returns false when reading must stop.
bool apply_module_line(ConfigState& state, const std::string& source_path,
                       const std::vector<std::string_view>& words) {
  // A module line without a name selects nothing; it is reported like a
  // name that matches no module, so the mistake cannot pass unnoticed.
  const std::string_view name = words.size() > 1 ? words[1] : std::string_view();
  ModuleRecord* module =
      words.size() > 1 ? first_module_of(*state.run, source_path, name, true) : nullptr;
  if (module == nullptr) {
    report_at(*state.run, state.file_name, state.line, SEV_ERROR, "Unable to locate module: %s",
              std::string(name).c_str());
    return false;
  }
  state.selected = module;
  return true;
}

void apply_item_line(ConfigState& state, const std::vector<std::string_view>& words) {
  if (words.size() < 2) {
    report_at(*state.run, state.file_name, state.line, SEV_WARNING,
              "Incomplete directive specification: %s", std::string(words[0]).c_str());
    return;
  }
  for (std::size_t i = 1; i < words.size(); ++i) apply_directive(state, words[0], words[i]);
}

void apply_prefix_line(ConfigState& state, const std::vector<std::string_view>& words) {
  if (words.size() < 2 || !is_letter(static_cast<unsigned char>(words[1][0]))) return;
  if (state.selected != nullptr) state.selected->prefix = std::string(words[1]);
}

// Returns false when reading must stop.
bool apply_line(ConfigState& state, const std::string& source_path, std::string_view line) {
  const std::vector<std::string_view> words = split_words(before_nul(line));
  if (words.empty() || words[0][0] == '#') return true;
  note_config_line(state, words);
  if (words[0] == "module") return apply_module_line(state, source_path, words);
  if (is_letter(static_cast<unsigned char>(words[0][0]))) {
    apply_item_line(state, words);
  } else if (words[0] == "-prefix") {
    apply_prefix_line(state, words);
  }
  return true;
}

}  // namespace

void apply_config_file(RunContext& run, const std::string& source_path) {
  ConfigState state;
  state.run = &run;
  state.file_name = source_path + "cfg";
  state.selected = first_module_of(run, source_path, {}, false);
  const std::optional<std::string> text = read_text_file(state.file_name);
  if (!text) return;
  for (const std::string_view line : split_lines(*text)) {
    ++state.line;
    if (!apply_line(state, source_path, line)) return;
  }
}

}  // namespace taloq
