// The rule on the resolved model: structures that require themselves.

#include <algorithm>
#include <deque>
#include <string>
#include <unordered_map>
#include <vector>

#include "driver/run_context.h"
#include "lint/lint_context.h"
#include "lint/model_walk.h"
#include "lint/rules.h"
#include "parse/element.h"

namespace taloq::lint {
namespace {

// A member that must occur: no cardinality means exactly once.
bool required(const Element& member) {
  return !member.has_cardinality() || member.cardinality_min() >= 1;
}

// The bodies of the model and, from each structure body, the required
// structure members that lead to another body. A union needs only one of
// its members, and a combined type holds no structures, so neither leads on.
struct BodyGraph {
  struct Edge {
    std::size_t to;
    const Element* member;
  };
  std::vector<const Element*> bodies;  // first element of each body
  std::vector<std::string> labels;
  std::vector<std::vector<Edge>> edges;
  std::unordered_map<const Element*, std::size_t> index;

  std::size_t node(const Element* body, const Element& via) {
    const auto [found, added] = index.try_emplace(body, bodies.size());
    if (added) {
      bodies.push_back(body);
      labels.push_back(element_label(via));
      edges.emplace_back();
    } else if (via.link().empty() && !via.is_copy()) {
      labels[found->second] = element_label(via);  // the definition names its body best
    }
    return found->second;
  }
};

BodyGraph build_graph(const RunContext& run) {
  BodyGraph graph;
  std::vector<std::size_t> pending;
  std::vector<bool> structure;  // the body is a structure's
  auto reach = [&](const Element& e) {
    const std::size_t before = graph.bodies.size();
    const std::size_t node = graph.node(e.children(), e);
    if (graph.bodies.size() > before) {
      pending.push_back(node);
      structure.push_back(e.type() == ET_STRUCT);
    }
    return node;
  };
  for (const Element* e = run.merged_elements; e != nullptr; e = e->next()) {
    if (is_constructed(e->type()) && e->children() != nullptr) reach(*e);
  }
  while (!pending.empty()) {
    const std::size_t from = pending.back();
    pending.pop_back();
    for (const Element* e = graph.bodies[from]; e != nullptr; e = e->next()) {
      if (!is_constructed(e->type()) || e->children() == nullptr) continue;
      const std::size_t to = reach(*e);
      if (structure[from] && e->type() == ET_STRUCT && required(*e)) {
        graph.edges[from].push_back({to, e});
      }
    }
  }
  return graph;
}

// The groups of bodies that reach one another (Tarjan), without recursion.
std::vector<std::vector<std::size_t>> strong_components(const BodyGraph& graph) {
  const std::size_t n = graph.bodies.size();
  constexpr std::size_t kUnseen = static_cast<std::size_t>(-1);
  std::vector<std::size_t> order(n, kUnseen), low(n, 0);
  std::vector<bool> on_stack(n, false);
  std::vector<std::size_t> open;
  std::vector<std::pair<std::size_t, std::size_t>> calls;  // node, next edge
  std::vector<std::vector<std::size_t>> groups;
  std::size_t counter = 0;
  for (std::size_t root = 0; root < n; ++root) {
    if (order[root] != kUnseen) continue;
    calls.emplace_back(root, 0);
    order[root] = low[root] = counter++;
    open.push_back(root);
    on_stack[root] = true;
    while (!calls.empty()) {
      auto& [node, next] = calls.back();
      if (next < graph.edges[node].size()) {
        const std::size_t to = graph.edges[node][next++].to;
        if (order[to] == kUnseen) {
          order[to] = low[to] = counter++;
          open.push_back(to);
          on_stack[to] = true;
          calls.emplace_back(to, 0);
        } else if (on_stack[to]) {
          low[node] = std::min(low[node], order[to]);
        }
        continue;
      }
      const std::size_t done = node;
      calls.pop_back();
      if (!calls.empty()) low[calls.back().first] = std::min(low[calls.back().first], low[done]);
      if (low[done] != order[done]) continue;
      std::vector<std::size_t>& group = groups.emplace_back();
      std::size_t member = 0;
      do {
        member = open.back();
        open.pop_back();
        on_stack[member] = false;
        group.push_back(member);
      } while (member != done);
    }
  }
  return groups;
}

// The steps from `from` back to `to` inside one group, shortest first.
std::vector<const Element*> path_within(const BodyGraph& graph, const std::vector<bool>& in_group,
                                        std::size_t from, std::size_t to) {
  std::unordered_map<std::size_t, std::pair<std::size_t, const Element*>> came_from;
  std::deque<std::size_t> queue{from};
  came_from.emplace(from, std::pair<std::size_t, const Element*>{from, nullptr});
  while (!queue.empty() && !came_from.contains(to)) {
    const std::size_t node = queue.front();
    queue.pop_front();
    for (const BodyGraph::Edge& edge : graph.edges[node]) {
      if (!in_group[edge.to] || came_from.contains(edge.to)) continue;
      came_from.emplace(edge.to, std::pair{node, edge.member});
      queue.push_back(edge.to);
    }
  }
  std::vector<const Element*> steps;
  for (std::size_t at = to; at != from;) {
    const auto& [previous, member] = came_from.at(at);
    steps.push_back(member);
    at = previous;
  }
  std::reverse(steps.begin(), steps.end());
  return steps;
}

}  // namespace

void check_never_finite(LintContext& lint) {
  const BodyGraph graph = build_graph(lint.run());
  std::vector<bool> in_group(graph.bodies.size(), false);
  for (const std::vector<std::size_t>& group : strong_components(graph)) {
    for (const std::size_t node : group) in_group[node] = true;
    // The first required step that stays in the group, in model order.
    const BodyGraph::Edge* first = nullptr;
    std::size_t first_from = 0;
    std::vector<std::size_t> nodes = group;
    std::sort(nodes.begin(), nodes.end());
    for (const std::size_t node : nodes) {
      for (const BodyGraph::Edge& edge : graph.edges[node]) {
        if (in_group[edge.to]) {
          first = &edge;
          first_from = node;
          break;
        }
      }
      if (first != nullptr) break;
    }
    if (first != nullptr) {
      std::string steps = graph.labels[first_from] + "." + element_label(*first->member);
      std::size_t at = first->to;
      if (at != first_from) {
        for (const Element* member : path_within(graph, in_group, first->to, first_from)) {
          steps += " -> " + graph.labels[at] + "." + element_label(*member);
          at = graph.index.at(member->children());
        }
      }
      steps += " -> " + graph.labels[first_from];
      lint.report(file_of(*first->member), first->member->line(),
                  graph.labels[first_from] + " can never be built: it requires itself through " +
                      steps + ", and every step is required (make one optional)");
    }
    for (const std::size_t node : group) in_group[node] = false;
  }
}

}  // namespace taloq::lint
