#include "graph/dot_graph.h"

#include <ostream>
#include <string>
#include <unordered_map>
#include <unordered_set>
#include <vector>

#include "driver/run_context.h"
#include "dump/latin1_text.h"
#include "analysis/links.h"
#include "source/config_file.h"

namespace taloq {
namespace {

// A text as a DOT string literal: UTF-8, quotes and backslashes escaped,
// line breaks as DOT's own "\n".
std::string quoted(std::string_view text) {
  std::string utf8;
  append_latin1_as_utf8(utf8, text);
  std::string out = "\"";
  for (char c : utf8) {
    if (c == '\n') {
      out += "\\n";
      continue;
    }
    if (c == '"' || c == '\\') out += '\\';
    out += c;
  }
  return out + '"';
}

const char* kind_name(std::int32_t type) {
  switch (type) {
    case ET_STRUCT: return "struct";
    case ET_UNION: return "union";
    default: return "combi";
  }
}

std::string cardinality_text(const Element& element) {
  if (!element.has_cardinality()) return {};
  const std::string max =
      element.cardinality_max() == -1 ? "*" : std::to_string(element.cardinality_max());
  return " [" + std::to_string(element.cardinality_min()) + ".." + max + "]";
}

// The graph's nodes: top-level constructed elements, numbered in document
// order, and which node defines each body.
struct GraphNodes {
  std::vector<const Element*> nodes;
  std::unordered_map<const Element*, int> by_element;
  std::unordered_map<const Element*, int> by_body;
};

GraphNodes collect_nodes(const RunContext& run) {
  GraphNodes graph;
  for (std::size_t m = 0; m < run.modules.size(); ++m) {
    const Element* end = module_elements_end(run, m);
    for (const Element* e = run.modules[m]->elements; e != nullptr && e != end; e = e->next()) {
      if (!is_constructed(e->type())) continue;
      const int id = static_cast<int>(graph.nodes.size());
      graph.nodes.push_back(e);
      graph.by_element.emplace(e, id);
      if (e->link().empty() && e->children() != nullptr) graph.by_body.emplace(e->children(), id);
    }
  }
  return graph;
}

void write_clusters(const RunContext& run, const GraphNodes& graph, std::ostream& out) {
  for (std::size_t m = 0; m < run.modules.size(); ++m) {
    const ModuleRecord& module = *run.modules[m];
    const std::string label = quoted(module.name.empty() ? "(unnamed module)" : module.name);
    out << "  subgraph cluster_" << m << " {\n    label=" << label << ";\n"
        << "    m" << m << " [shape=folder, label=" << label << "];\n";
    const Element* end = module_elements_end(run, m);
    for (const Element* e = module.elements; e != nullptr && e != end; e = e->next()) {
      const auto node = graph.by_element.find(e);
      if (node == graph.by_element.end()) continue;
      out << "    n" << node->second
          << " [label=" << quoted(e->name() + "\n" + kind_name(e->type())) << "];\n";
    }
    out << "  }\n";
  }
}

void write_reference_edge(const GraphNodes& graph, int from, const Element& reference,
                          std::ostream& out) {
  const auto target = graph.by_body.find(reference.children());
  if (target == graph.by_body.end()) return;
  std::string label = reference.name() + cardinality_text(reference);
  if (reference.recursive()) label += " (recursive)";
  out << "  n" << from << " -> n" << target->second << " [label=" << quoted(label);
  if (reference.recursive()) out << ", color=red, style=bold";
  out << "];\n";
}

// Every resolved reference in a node's body, nested bodies included; a body
// shared by plug copies is visited once per node.
void write_node_edges(const GraphNodes& graph, int from, std::ostream& out) {
  const Element* node = graph.nodes[static_cast<std::size_t>(from)];
  if (!node->link().empty()) {
    write_reference_edge(graph, from, *node, out);
    return;
  }
  std::unordered_set<const Element*> visited;
  std::vector<const Element*> pending;  // the rest of each list being walked
  if (node->children() != nullptr) pending.push_back(node->children());
  visited.insert(node->children());
  while (!pending.empty()) {
    const Element* e = pending.back();
    pending.back() = e->next();
    if (pending.back() == nullptr) pending.pop_back();
    if (!e->link().empty() && e->children() != nullptr) {
      write_reference_edge(graph, from, *e, out);
    } else if (e->children() != nullptr && visited.insert(e->children()).second) {
      pending.push_back(e->children());
    }
  }
}

// The node that holds a plug target: the top-level element its path starts at.
const Element* plug_target(RunContext& run, ModuleRecord& plugging, const IntoTarget& into) {
  ModuleRecord* module = nullptr;
  std::string path;
  if (locate_module(run, plugging, plugging.extends, module, path, into.target) == 0) {
    return nullptr;
  }
  if (find_item(module, path) == nullptr) return nullptr;
  return find_item(module, std::string_view(path).substr(0, path.find('.')));
}

void write_plug_edges(RunContext& run, const GraphNodes& graph, std::ostream& out) {
  for (std::size_t m = 0; m < run.modules.size(); ++m) {
    ModuleRecord& plugging = *run.modules[m];
    for (const PlugRecord& plug : plugging.plugs) {
      for (const IntoTarget& into : plug.into) {
        const auto node = graph.by_element.find(plug_target(run, plugging, into));
        if (node == graph.by_element.end()) continue;
        out << "  m" << m << " -> n" << node->second
            << " [style=dashed, label=" << quoted("plug into " + into.target) << "];\n";
      }
    }
  }
}

}  // namespace

void write_dot_graph(RunContext& run, std::ostream& out) {
  const GraphNodes graph = collect_nodes(run);
  out << "digraph taloq {\n  rankdir=LR;\n  node [shape=box];\n";
  write_clusters(run, graph, out);
  for (std::size_t id = 0; id < graph.nodes.size(); ++id) {
    write_node_edges(graph, static_cast<int>(id), out);
  }
  write_plug_edges(run, graph, out);
  out << "}\n";
}

BackEnd dot_back_end(std::ostream& out) {
  return [&out](RunContext& run, std::span<const std::string>) { write_dot_graph(run, out); };
}

}  // namespace taloq
