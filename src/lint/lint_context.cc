#include "lint/lint_context.h"

#include "lint/rules.h"
#include "parse/element.h"

namespace taloq::lint {

std::string LintContext::parsed_link(const Element& element) const {
  const auto found = parsed_links_.find(&element);
  return found != parsed_links_.end() ? found->second : element.link().str();
}

bool LintContext::was_link(const Element& element) const {
  return parsed_links_.contains(&element);
}

void LintContext::report(std::string_view file, int line, std::string message) {
  Finding& finding = findings_.emplace_back();
  finding.file = file;
  finding.line = line;
  finding.level = rule_->level;
  finding.message = std::move(message);
  finding.rule = rule_->name;
}

}  // namespace taloq::lint
