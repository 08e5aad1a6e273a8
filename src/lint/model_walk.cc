#include "lint/model_walk.h"

#include <unordered_set>

#include "driver/run_context.h"
#include "parse/element.h"

namespace taloq::lint {

std::string module_label(const ModuleRecord& module) {
  if (!module.name.empty()) return "module " + module.name;
  return "the unnamed module of " + module.path;
}

bool has_name(const Element& element) {
  return element.name() != kUnsetText && !element.name().empty();
}

std::string element_label(const Element& element) {
  return has_name(element) ? element.name().str() : std::string("(unnamed)");
}

std::string_view file_of(const Element& element) {
  const ModuleRecord* module = element.source() != nullptr ? element.source() : element.module();
  return module != nullptr ? std::string_view(module->path) : std::string_view();
}

std::vector<Body> written_bodies(const RunContext& run) {
  std::vector<Body> bodies;
  for (std::size_t i = 0; i < run.modules.size(); ++i) {
    const ModuleRecord& module = *run.modules[i];
    bodies.push_back({module.elements, module_elements_end(run, i), nullptr, &module,
                      BodyKind::kTopLevel, 0});
    for (const PlugRecord& plug : module.plugs) {
      bodies.push_back({plug.body, nullptr, nullptr, &module, BodyKind::kPlug, plug.line});
    }
  }
  // Bodies nested in those, found by a walk over the growing list. A
  // resolved reference and a plug copy share a body written elsewhere.
  std::unordered_set<const Element*> seen;
  for (std::size_t at = 0; at < bodies.size(); ++at) {
    const Body body = bodies[at];
    for (const Element* e = body.first; e != nullptr && e != body.end; e = e->next()) {
      if (!is_constructed(e->type()) || e->children() == nullptr) continue;
      if (!e->link().empty() || e->is_copy()) continue;
      if (!seen.insert(e->children()).second) continue;
      bodies.push_back({e->children(), nullptr, e, body.module, BodyKind::kMembers, 0});
    }
  }
  return bodies;
}

std::string_view module_part(std::string_view reference) {
  const std::size_t colon = reference.find(':');
  return colon == std::string_view::npos ? std::string_view() : reference.substr(0, colon);
}

std::string_view name_part(std::string_view reference) {
  const std::size_t colon = reference.find(':');
  if (colon == std::string_view::npos) return reference;
  std::string_view rest = reference.substr(colon);
  rest.remove_prefix(rest.starts_with("::") ? 2 : 1);
  return rest.substr(0, rest.find(':'));
}

}  // namespace taloq::lint
