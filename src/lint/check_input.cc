// The rules on what the run reads but never uses: configuration lines that
// do nothing, sources and modules that take no part.

#include <algorithm>
#include <string>
#include <vector>

#include "driver/run_context.h"
#include "lex/char_class.h"
#include "lint/lint_context.h"
#include "lint/model_walk.h"
#include "lint/nearest_name.h"
#include "lint/rules.h"
#include "parse/element.h"
#include "source/config_file.h"

namespace taloq::lint {
namespace {

bool begins_with_letter(std::string_view word) {
  return !word.empty() && is_letter(static_cast<unsigned char>(word[0]));
}

std::vector<std::string> names_in(const Element* list) {
  std::vector<std::string> names;
  for (const Element* e = list; e != nullptr; e = e->next()) {
    if (has_name(*e)) names.push_back(e->name().str());
  }
  return names;
}

// Why an item path names nothing, or names something other than it seems
// to; empty when it names what it says. The lookup is the one that applies
// the directives.
std::string item_path_problem(const ModuleRecord& module, std::string_view path) {
  const std::string quoted = "item path " + std::string(path);
  const Element* list = module.elements;
  std::string where = module_label(module);
  const Element* parent = nullptr;
  std::string_view rest = path;
  for (bool first = true;; first = false) {
    const std::size_t dot = rest.find('.');
    const std::string_view segment = rest.substr(0, dot);
    if (segment.empty()) {
      if (dot == std::string_view::npos && parent != nullptr) {
        const Element* named = find_item(&module, path);
        return quoted + " ends in '.': " +
               (named != nullptr ? "it names " + element_label(*named) + ", the first member of " +
                                       element_label(*parent)
                                 : "it names nothing");
      }
      return quoted + " names nothing: it holds an empty name between two dots";
    }
    const Element* found = list;
    while (found != nullptr && found->name() != segment) found = found->next();
    if (found == nullptr) {
      return quoted + " names nothing: " + where + " has no " +
             (first ? "top-level element" : "member") + " named " + std::string(segment) +
             did_you_mean(segment, names_in(list));
    }
    if (dot == std::string_view::npos) return {};
    if (found->children() == nullptr && dot + 1 < rest.size()) {
      return quoted + " names nothing: " + element_label(*found) + " has no members";
    }
    parent = found;
    list = found->children();
    where = element_label(*found);
    rest.remove_prefix(dot + 1);
  }
}

void check_prefix_line(LintContext& lint, const NotedConfigLine& line) {
  const std::vector<std::string>& words = line.words;
  std::string problem;
  if (words.size() < 2) {
    problem = "-prefix without a prefix is ignored";
  } else if (!begins_with_letter(words[1])) {
    problem = "-prefix " + words[1] + " is ignored: a prefix begins with a letter";
  } else if (line.selected == nullptr) {
    problem = "-prefix " + words[1] + " is ignored: no module of this source takes part in the run";
  } else if (words.size() > 2) {
    problem = "-prefix takes one word: " + words[2] + " and what follows are ignored";
  }
  if (!problem.empty()) lint.report(line.file, line.line, problem);
}

}  // namespace

void check_configuration(LintContext& lint) {
  static const std::vector<std::string> kLineWords = {"module", "-prefix"};
  for (const NotedConfigLine& line : lint.run().notes.config_lines) {
    const std::string& first = line.words.front();
    if (first == "module") continue;  // the checker reports a module it cannot find
    if (first == "-prefix") {
      check_prefix_line(lint, line);
    } else if (begins_with_letter(first)) {
      // Lines of a source that gave no module are the rule on discarded
      // input's; the checker warns about each of their directives.
      if (line.selected == nullptr) continue;
      const std::string problem = item_path_problem(*line.selected, first);
      if (!problem.empty()) lint.report(line.file, line.line, problem);
    } else {
      const std::string hint = did_you_mean(first, kLineWords);
      lint.report(line.file, line.line,
                  "configuration line ignored: " + first +
                      (hint.empty() ? " is neither module, -prefix nor an item path (which "
                                      "begins with a letter)"
                                    : " is no directive" + hint));
    }
  }
}

void check_discarded_input(LintContext& lint) {
  const FrontEndNotes& notes = lint.run().notes;
  for (const FrontEndNotes::Source& source : notes.sources) {
    // A file whose dropped modules are reported below needs no more words.
    const bool explained =
        std::any_of(notes.dropped_modules.begin(), notes.dropped_modules.end(),
                    [&source](const ModuleRecord& module) { return module.path == source.path; });
    if (source.modules != 0 || explained) continue;
    lint.report(source.path, 1,
                "this source gives the run no module: no element was parsed into any module of "
                "it");
  }
  for (const ModuleRecord& module : notes.dropped_modules) {
    const std::string label = module.name.empty() ? "its module" : "module " + module.name;
    for (const PlugRecord& plug : module.plugs) {
      lint.report(module.path, plug.line,
                  "this plug extension is never applied: " + label +
                      " has no element of its own, and the run drops such a module with its "
                      "plugs and imports");
    }
    if (!module.plugs.empty()) continue;
    int first_line = 0;
    for (const auto* list : {&module.imports, &module.extends}) {
      for (const ModuleAlias& entry : *list) {
        if (first_line == 0 || entry.line < first_line) first_line = entry.line;
      }
    }
    lint.report(module.path, first_line,
                label + " has no element of its own, so the run drops it, and its imports and "
                        "extends are never used");
  }
}

}  // namespace taloq::lint
