#pragma once

#include <deque>
#include <string>
#include <string_view>
#include <unordered_map>

#include "analysis/name_table.h"

namespace taloq {

struct RunContext;
struct ModuleRecord;
struct ModuleAlias;
class Element;

// Lookups that link resolution and plug expansion repeat for every
// reference: modules by name, the first top-level element of a module with
// a given name, and the first alias of an alias list with a given text. Each
// gives the first match in list order, exactly as walking the list would,
// at constant cost. The tables are built on first use and assume that module
// names, top-level lists, declared names and alias lists no longer change,
// which holds from the end of loading up to the merge.
class ModuleIndex {
 public:
  explicit ModuleIndex(const RunContext& run);

  // The first module of the run's list with this name, or null.
  ModuleRecord* module_named(std::string_view name) const;

  // The first top-level element of the module whose declared name is `name`.
  Element* top_level_named(const ModuleRecord& module, std::string_view name);

  // The module name the first alias equal to `alias` stands for, or null.
  const std::string* alias_target(const std::deque<ModuleAlias>& aliases, std::string_view alias);

 private:
  using AliasTable = std::unordered_map<std::string_view, const std::string*>;

  std::unordered_map<std::string_view, ModuleRecord*> modules_;
  // A top-level element's own name is the one it is found by.
  struct DeclaredName {
    std::string_view operator()(const Element* element) const;
  };

  std::unordered_map<const ModuleRecord*, NameTable<Element*, DeclaredName>> top_level_;
  std::unordered_map<const std::deque<ModuleAlias>*, AliasTable> aliases_;
};

}  // namespace taloq
