// The rules on imports and references: modules that are not there, aliases
// that nothing uses, and why a reference could not be expanded.

#include <map>
#include <set>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "driver/run_context.h"
#include "lint/lint_context.h"
#include "lint/model_walk.h"
#include "lint/nearest_name.h"
#include "lint/rules.h"
#include "parse/element.h"

namespace taloq::lint {
namespace {

// The link pass follows at most this many references from one element.
constexpr int kMaxHops = 10;

std::vector<std::string> module_names(const RunContext& run) {
  std::vector<std::string> names;
  for (const ModuleRecord* module : run.modules) {
    if (!module->name.empty()) names.push_back(module->name);
  }
  return names;
}

// The first module of that name, as references find it.
const ModuleRecord* module_named(const RunContext& run, std::string_view name) {
  for (const ModuleRecord* module : run.modules) {
    if (module->name == name) return module;
  }
  return nullptr;
}

const ModuleRecord* dropped_module_named(const RunContext& run, std::string_view name) {
  for (const ModuleRecord& module : run.notes.dropped_modules) {
    if (module.name == name) return &module;
  }
  return nullptr;
}

// What can be said about a module name that no module of the run has.
std::string missing_module_hint(const RunContext& run, std::string_view name) {
  std::string hint = did_you_mean(name, module_names(run));
  if (!hint.empty()) return hint;
  if (const ModuleRecord* dropped = dropped_module_named(run, name)) {
    return "; the module " + dropped->name + " of " + dropped->path +
           " is dropped, as no element of its own was parsed into it";
  }
  return "; is the file that defines it missing from the command line or the project?";
}

const ModuleAlias* alias_named(const std::deque<ModuleAlias>& aliases, std::string_view alias) {
  for (const ModuleAlias& entry : aliases) {
    if (entry.alias == alias) return &entry;
  }
  return nullptr;
}

// ---- imports and extends ---------------------------------------------------

struct AliasUses {
  std::set<std::string, std::less<>> in_references;  // module parts of references
  std::set<std::string, std::less<>> in_targets;     // module parts of into targets
};

std::map<const ModuleRecord*, AliasUses> alias_uses(const RunContext& run) {
  std::map<const ModuleRecord*, AliasUses> uses;
  for (const Body& body : written_bodies(run)) {
    for (const Element* e = body.first; e != nullptr && e != body.end; e = e->next()) {
      if (e->type() != ET_LINK) continue;
      const std::string_view part = module_part(e->link());
      if (!part.empty()) uses[body.module].in_references.emplace(part);
    }
  }
  for (const ModuleRecord* module : run.modules) {
    for (const PlugRecord& plug : module->plugs) {
      for (const IntoTarget& target : plug.into) {
        const std::string_view part = module_part(target.target);
        if (!part.empty()) uses[module].in_targets.emplace(part);
      }
    }
  }
  return uses;
}

void check_alias_list(LintContext& lint, const ModuleRecord& module,
                      const std::deque<ModuleAlias>& aliases, const char* keyword,
                      const std::set<std::string, std::less<>>& used, const char* users) {
  // Newest first, as lookups try them: an older entry with the same alias is
  // never reached.
  std::map<std::string, int, std::less<>> newer;
  for (const ModuleAlias& entry : aliases) {
    const std::string statement = std::string(keyword) + " of " + entry.module_name;
    const std::string alias = "alias " + entry.alias + " (" + statement + ")";
    if (module_named(lint.run(), entry.module_name) == nullptr) {
      lint.report(module.path, entry.line,
                  statement + ": no file of the run defines a module of that name" +
                      missing_module_hint(lint.run(), entry.module_name));
      continue;
    }
    if (entry.alias == " ") continue;
    if (entry.alias.empty()) {
      lint.report(module.path, entry.line, statement + " has an empty alias, which " + users +
                                               " can name");
      continue;
    }
    if (const auto later = newer.find(entry.alias); later != newer.end()) {
      lint.report(module.path, entry.line,
                  alias + " is given again at line " +
                      std::to_string(later->second) + ", which wins: this one is never used");
      continue;
    }
    newer.emplace(entry.alias, entry.line);
    if (!used.contains(entry.alias)) {
      lint.report(module.path, entry.line,
                  alias + " is never used: " + users +
                      " begins with " + entry.alias + "::");
    }
  }
}

// ---- unresolved references -------------------------------------------------

std::vector<std::string> top_level_names(const RunContext& run, const ModuleRecord& module) {
  std::vector<std::string> names;
  const Element* end = nullptr;
  for (std::size_t i = 0; i < run.modules.size(); ++i) {
    if (run.modules[i] == &module) end = module_elements_end(run, i);
  }
  for (const Element* e = module.elements; e != nullptr && e != end; e = e->next()) {
    if (has_name(*e)) names.push_back(e->name().str());
  }
  return names;
}

const Element* top_level_named(const RunContext& run, const ModuleRecord& module,
                               std::string_view name) {
  const Element* end = nullptr;
  for (std::size_t i = 0; i < run.modules.size(); ++i) {
    if (run.modules[i] == &module) end = module_elements_end(run, i);
  }
  for (const Element* e = module.elements; e != nullptr && e != end; e = e->next()) {
    if (e->name() == name) return e;
  }
  return nullptr;
}

std::string joined(const std::vector<std::string>& texts, std::size_t from) {
  std::string out;
  for (std::size_t i = from; i < texts.size(); ++i) {
    if (!out.empty()) out += " -> ";
    out += texts[i];
  }
  return out;
}

std::string unknown_module_part(const RunContext& run, const ModuleRecord& reached,
                                std::string_view part) {
  std::string reason = std::string(part) + " is neither an alias that " + module_label(reached) +
                       " imports nor the name of a module of the run";
  if (alias_named(reached.extends, part) != nullptr) {
    reason += " (" + std::string(part) +
              " is the alias of an extends statement, which only plug targets use)";
  }
  std::vector<std::string> in_scope;
  for (const ModuleAlias& entry : reached.imports) {
    if (entry.alias != " " && !entry.alias.empty()) in_scope.push_back(entry.alias);
  }
  for (std::string& name : module_names(run)) in_scope.push_back(std::move(name));
  return reason + did_you_mean(part, in_scope);
}

// Follows a reference as the link pass does, from its parsed text in the
// module it is read in, and says where it fails; none when it resolves.
std::optional<std::string> why_unresolved(const LintContext& lint, const ModuleRecord& context,
                                          const std::string& text) {
  const RunContext& run = lint.run();
  const ModuleRecord* reached = &context;
  std::vector<std::string> chain{text};
  std::unordered_map<const Element*, std::size_t> followed;  // link element -> text naming it
  std::optional<std::string> first_miss;
  auto lead = [&chain] {
    return chain.size() > 1 ? ", which leads to " + joined(chain, 1) + ", but " : ", but ";
  };
  for (int hop = 0; hop < kMaxHops; ++hop) {
    const std::string current = chain.back();
    const std::string_view part = module_part(current);
    const std::string_view name = name_part(current);
    if (current.find(':') != std::string::npos) {
      const ModuleAlias* alias = alias_named(reached->imports, part);
      const std::string module_name = alias != nullptr ? alias->module_name : std::string(part);
      const ModuleRecord* found = module_named(run, module_name);
      if (found == nullptr) {
        if (first_miss) return first_miss;
        if (alias == nullptr) return lead() + unknown_module_part(run, *reached, part);
        return lead() + "the alias " + alias->alias + " stands for module " + module_name +
               " (imported at line " + std::to_string(alias->line) +
               "), which no file of the run defines" + missing_module_hint(run, module_name);
      }
      reached = found;
    }
    const Element* target = top_level_named(run, *reached, name);
    if (target == nullptr) {
      // The link pass tries the same text again from the module reached;
      // the first miss is the one to explain.
      if (!first_miss) {
        first_miss = lead() + module_label(*reached) + " has no top-level definition named " +
                     std::string(name) + did_you_mean(name, top_level_names(run, *reached));
      }
      continue;
    }
    if (!lint.was_link(*target)) return std::nullopt;
    if (const auto seen = followed.find(target); seen != followed.end()) {
      return ", but the references go round in a cycle: " + joined(chain, seen->second);
    }
    followed.emplace(target, chain.size() - 1);
    chain.push_back(lint.parsed_link(*target));
  }
  if (first_miss) return first_miss;
  return ", but the chain " + joined(chain, 0) + " is longer than " + std::to_string(kMaxHops) +
         " references";
}

// Every element the link pass left unresolved, with the module it was read
// in: the walk of the pass, over each module's own lists and the bodies of
// its structures, unions and plug copies.
std::vector<std::pair<const Element*, const ModuleRecord*>> unresolved_elements(
    const RunContext& run) {
  std::vector<std::pair<const Element*, const ModuleRecord*>> found;
  std::unordered_set<const Element*> entered;
  for (std::size_t i = 0; i < run.modules.size(); ++i) {
    const ModuleRecord* module = run.modules[i];
    std::vector<std::pair<const Element*, const Element*>> stack{
        {module->elements, module_elements_end(run, i)}};
    while (!stack.empty()) {
      auto& [at, end] = stack.back();
      if (at == nullptr || at == end) {
        stack.pop_back();
        continue;
      }
      const Element& e = *at;
      at = e.next();
      if (e.type() == ET_LINK && !e.link().empty()) found.emplace_back(&e, module);
      const bool walked = e.type() == ET_STRUCT || e.type() == ET_UNION;
      if (walked && (e.link().empty() || e.is_copy()) && e.children() != nullptr &&
          entered.insert(e.children()).second) {
        stack.emplace_back(e.children(), nullptr);
      }
    }
  }
  return found;
}

}  // namespace

void check_imports(LintContext& lint) {
  const std::map<const ModuleRecord*, AliasUses> uses = alias_uses(lint.run());
  const AliasUses none;
  for (const ModuleRecord* module : lint.run().modules) {
    const auto found = uses.find(module);
    const AliasUses& used = found != uses.end() ? found->second : none;
    check_alias_list(lint, *module, module->imports, "import", used.in_references,
                     "no reference");
    check_alias_list(lint, *module, module->extends, "extends", used.in_targets,
                     "no plug target");
  }
}

void check_unresolved_references(LintContext& lint) {
  for (const auto& [element, module] : unresolved_elements(lint.run())) {
    const std::string text = lint.parsed_link(*element);
    const std::optional<std::string> why = why_unresolved(lint, *module, text);
    if (!why) continue;
    // A plugged member keeps the plugging module's text but is read where
    // it was plugged in, with that module's imports.
    const std::string where =
        element->is_copy() && element->module() != module &&
                module_part(text) != element->module()->name
            ? " (a plugged member is read in " + module_label(*module) + ", where it was plugged)"
            : "";
    lint.report(file_of(*element), element->line(),
                element_label(*element) + " refers to " + text + *why + where);
  }
}

}  // namespace taloq::lint
