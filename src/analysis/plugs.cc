#include "analysis/plugs.h"

#include <string>
#include <unordered_map>

#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "analysis/links.h"
#include "analysis/module_index.h"

namespace taloq {
namespace {

// What expansion keeps across targets: the lookup tables, and the last
// element of every body copies were appended to, so that a body that
// receives many copies is walked to its end only once. Bodies are known by
// their first element, which every element sharing the body points at.
struct PlugExpansion {
  explicit PlugExpansion(RunContext& run) : run(run), index(run) {}

  RunContext& run;
  ModuleIndex index;
  std::unordered_map<const Element*, Element*> tails;
};

// The dotted-path lookup of configuration items, with the top-level name
// taken from the index; the same first matches as walking the lists.
Element* find_target(PlugExpansion& expansion, const ModuleRecord& module, std::string_view path) {
  Element* current = module.elements;
  bool top_level = true;
  while (!path.empty() && current != nullptr) {
    const std::size_t dot = path.find('.');
    const std::string_view segment = path.substr(0, dot);
    if (top_level) {
      current = expansion.index.top_level_named(module, segment);
    } else {
      while (current != nullptr && current->name() != segment) current = current->next();
    }
    top_level = false;
    if (dot == std::string_view::npos) break;
    path.remove_prefix(dot);
    if (current == nullptr) break;
    path.remove_prefix(1);
    current = current->children();
  }
  return current;
}

// A module part must end in "::"; a single ":" names nothing.
bool has_single_colon(std::string_view target) {
  const std::size_t colon = target.find(':');
  return colon != std::string_view::npos &&
         (colon + 1 >= target.size() || target[colon + 1] != ':');
}

Element* locate_target(PlugExpansion& expansion, ModuleRecord& plugging, const IntoTarget& into) {
  if (has_single_colon(into.target)) return nullptr;
  ModuleRecord* module = nullptr;
  std::string name;
  if (locate_module(expansion.index, plugging, plugging.extends, module, name, into.target) == 0) {
    return nullptr;
  }
  return find_target(expansion, *module, name);
}

void report_target(PlugExpansion& expansion, const ModuleRecord& plugging, const IntoTarget& into,
                   const char* format) {
  report_at(expansion.run, plugging.path, into.line, SEV_ERROR, format, into.target.c_str());
}

// Plain references of the copies name types of the plugging module, which
// the target's module would not find: they get its name as module part.
void qualify_links(PlugExpansion& expansion, const ModuleRecord& plugging, const IntoTarget& into,
                   Element* copies) {
  bool name_missing_reported = false;
  for (Element* copy = copies; copy != nullptr; copy = copy->next()) {
    if (copy->type() != ET_LINK || copy->link().find(':') != std::string::npos) continue;
    if (plugging.name.empty()) {
      if (!name_missing_reported) {
        report_target(expansion, plugging, into, "Module name must be included to plug '%s'\n");
      }
      name_missing_reported = true;
      continue;
    }
    std::string qualified = plugging.name + "::" + copy->link();
    if (qualified.size() > kMaxLinkLength) {
      report_at(expansion.run, plugging.path, into.line, SEV_ERROR,
                "Reference name exceeds %d characters: %s", static_cast<int>(kMaxLinkLength),
                qualified.c_str());
      continue;
    }
    copy->set_link(expansion.run.texts.keep(qualified));
  }
}

void append_copies(PlugExpansion& expansion, Element& target, Element* copies) {
  if (copies == nullptr) return;
  auto [tail, made] = expansion.tails.try_emplace(target.children(), nullptr);
  if (made) {
    tail->second = target.children();
    while (tail->second->next() != nullptr) tail->second = tail->second->next();
  }
  tail->second->set_next(copies);
  Element* last = copies;
  while (last->next() != nullptr) last = last->next();
  tail->second = last;
}

// A combined type's members are held to its member rules where they are
// written; copies plugged into one are held to the same rules, or a
// reference or a bool would slip into a body that refuses them.
void check_combined_copies(PlugExpansion& expansion, const ModuleRecord& plugging,
                           const Element* copies) {
  for (const Element* copy = copies; copy != nullptr; copy = copy->next()) {
    for_each_combined_member_fault(*copy, [&](const char* format) {
      report_at(expansion.run, plugging.path, copy->line(), SEV_ERROR, format,
                copy->name().c_str());
    });
  }
}

void plug_into(PlugExpansion& expansion, ModuleRecord& plugging, const PlugRecord& plug,
               const IntoTarget& into) {
  Element* target = locate_target(expansion, plugging, into);
  if (target == nullptr) {
    report_target(expansion, plugging, into, "Unable to locate definition -%s-\n");
    return;
  }
  if (target->children() == nullptr) {
    report_target(expansion, plugging, into, "Can not plug -%s-.  It is not struct or union.\n");
    return;
  }
  Element* copies = copy_plug_body(expansion.run, plug.body);
  qualify_links(expansion, plugging, into, copies);
  if (target->type() == ET_COMBINED) check_combined_copies(expansion, plugging, copies);
  append_copies(expansion, *target, copies);
}

void expand_with(PlugExpansion& expansion, ModuleRecord& plugging) {
  for (const PlugRecord& plug : plugging.plugs) {
    for (const IntoTarget& into : plug.into) plug_into(expansion, plugging, plug, into);
  }
}

}  // namespace

Element* copy_plug_body(RunContext& run, const Element* body) {
  Element* first = nullptr;
  Element* last = nullptr;
  for (const Element* element = body; element != nullptr; element = element->next()) {
    // A copy has no room for a back end's data and is not counted as an
    // element the parser made.
    Element& copy = run.element_store.emplace_back(*element);
    copy.set_is_copy(true);
    copy.set_next(nullptr);
    copy.set_extra(nullptr);
    if (last == nullptr) {
      first = &copy;
    } else {
      last->set_next(&copy);
    }
    last = &copy;
  }
  return first;
}

void expand_module_plugs(RunContext& run, ModuleRecord& plugging) {
  PlugExpansion expansion(run);
  expand_with(expansion, plugging);
}

void expand_plugs(RunContext& run) {
  PlugExpansion expansion(run);
  for (ModuleRecord* module : run.modules) {
    if (!module->plugs.empty()) expand_with(expansion, *module);
  }
}

}  // namespace taloq
