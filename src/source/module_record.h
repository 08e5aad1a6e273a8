#pragma once

#include <cstdint>
#include <deque>
#include <optional>
#include <string>

namespace taloq {

class Element;

// One import or extends statement. `alias` is a single blank when the
// statement has no "as" clause, so that no module part can match it.
struct ModuleAlias {
  std::string alias;
  std::string module_name;
  std::int32_t line = 0;  // where the module name was read
};

// One name of an into list, with the line it was read on.
struct IntoTarget {
  std::string target;
  std::int32_t line = 0;
};

// One plug extension: its body and the targets it is copied into.
struct PlugRecord {
  Element* body = nullptr;
  std::int32_t line = 0;  // of the "plug" keyword
  // Newest first: the into names in reverse source order.
  std::deque<IntoTarget> into;
};

// One parsed module. The alias lists keep the newest statement first (the
// order in which lookups try them); plugs are in source order.
struct ModuleRecord {
  std::string name;
  std::string path;
  std::optional<std::string> prefix;
  std::deque<ModuleAlias> extends;
  std::deque<ModuleAlias> imports;
  std::deque<PlugRecord> plugs;
  Element* elements = nullptr;
};

}  // namespace taloq
