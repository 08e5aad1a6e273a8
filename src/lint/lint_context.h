#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lint/finding.h"

namespace taloq {
struct RunContext;
class Element;
}  // namespace taloq

namespace taloq::lint {

struct Rule;

// The reference texts of the link elements as they were parsed, before the
// link pass replaced a text by the one of the last link it reached.
using ParsedLinks = std::unordered_map<const Element*, std::string>;

// What a check reads, and where its findings go.
class LintContext {
 public:
  LintContext(RunContext& run, const ParsedLinks& parsed_links, std::vector<Finding>& findings)
      : run_(run), parsed_links_(parsed_links), findings_(findings) {}

  RunContext& run() const { return run_; }
  // The element's reference text as parsed; an element made after parsing
  // (a plug copy) has the text it has now.
  std::string parsed_link(const Element& element) const;
  // True when the element was a reference when it was parsed.
  bool was_link(const Element& element) const;

  // The rule that the findings reported next belong to.
  void set_rule(const Rule& rule) { rule_ = &rule; }
  void report(std::string_view file, int line, std::string message);

 private:
  RunContext& run_;
  const ParsedLinks& parsed_links_;
  std::vector<Finding>& findings_;
  const Rule* rule_ = nullptr;
};

}  // namespace taloq::lint
