#include "lsp/written_elements.h"

#include <unordered_set>
#include <utility>
#include <vector>

#include "driver/run_context.h"
#include "parse/element.h"

namespace taloq::lsp {

bool has_own_body(const Element& element) {
  return is_constructed(element.type()) && element.children() != nullptr &&
         element.link().empty() && !element.is_copy();
}

void for_each_written_element(RunContext& run,
                              const std::function<void(const Element&, ModuleRecord&)>& visit) {
  struct List {
    const Element* first;
    const Element* end;  // after the merge a top-level list runs on into the next module's
    ModuleRecord* module;
  };
  std::vector<List> lists;
  for (std::size_t i = 0; i < run.modules.size(); ++i) {
    ModuleRecord& module = *run.modules[i];
    lists.push_back({module.elements, module_elements_end(run, i), &module});
    for (const PlugRecord& plug : module.plugs) lists.push_back({plug.body, nullptr, &module});
  }
  // A body shared by several plug copies is written once, in the plug body.
  std::unordered_set<const Element*> seen;
  for (std::size_t at = 0; at < lists.size(); ++at) {
    const List list = lists[at];
    for (const Element* e = list.first; e != nullptr && e != list.end; e = e->next()) {
      if (e->is_copy()) continue;
      visit(*e, *list.module);
      if (has_own_body(*e) && seen.insert(e->children()).second) {
        lists.push_back({e->children(), nullptr, list.module});
      }
    }
  }
}

}  // namespace taloq::lsp
