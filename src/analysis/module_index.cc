#include "analysis/module_index.h"

#include "driver/run_context.h"

namespace taloq {

ModuleIndex::ModuleIndex(const RunContext& run) {
  for (ModuleRecord* module : run.modules) modules_.try_emplace(module->name, module);
}

std::string_view ModuleIndex::DeclaredName::operator()(const Element* element) const {
  return element->name();
}

ModuleRecord* ModuleIndex::module_named(std::string_view name) const {
  const auto found = modules_.find(name);
  return found == modules_.end() ? nullptr : found->second;
}

Element* ModuleIndex::top_level_named(const ModuleRecord& module, std::string_view name) {
  auto [table, made] = top_level_.try_emplace(&module);
  if (made) {
    std::size_t count = 0;
    for (Element* element = module.elements; element != nullptr; element = element->next()) {
      ++count;
    }
    table->second.reserve(count);
    for (Element* element = module.elements; element != nullptr; element = element->next()) {
      table->second.insert(element);
    }
  }
  Element* const* found = table->second.find(name);
  return found == nullptr ? nullptr : *found;
}

const std::string* ModuleIndex::alias_target(const std::deque<ModuleAlias>& aliases,
                                             std::string_view alias) {
  auto [table, made] = aliases_.try_emplace(&aliases);
  if (made) {
    for (const ModuleAlias& node : aliases) {
      table->second.try_emplace(node.alias, &node.module_name);
    }
  }
  const auto found = table->second.find(alias);
  return found == table->second.end() ? nullptr : found->second;
}

}  // namespace taloq
