#include "lsp/lint_findings.h"

#include "lint/lint_context.h"
#include "lint/rules.h"

namespace taloq::lsp {
namespace {

lint::Stage stage_of(LintPoint point) {
  switch (point) {
    case LintPoint::kLoaded: return lint::Stage::kParsed;
    case LintPoint::kUnresolved: return lint::Stage::kUnresolved;
    case LintPoint::kClean: break;
  }
  return lint::Stage::kResolved;
}

}  // namespace

void add_lint_findings(RunContext& run, const ReferenceTexts& parsed_references, LintPoint point,
                       std::vector<Problem>& problems) {
  std::vector<lint::Finding> findings;
  lint::LintContext lint(run, parsed_references, findings);
  const lint::Stage stage = stage_of(point);
  for (const lint::Rule& rule : lint::rule_table()) {
    if (rule.stage != stage) continue;
    lint.set_rule(rule);
    rule.check(lint);
  }
  for (lint::Finding& finding : findings) {
    Problem& problem = problems.emplace_back();
    problem.file = std::move(finding.file);
    problem.line = finding.line;
    problem.severity = finding.level == lint::Level::kError ? 1 : 2;
    problem.message = std::move(finding.message);
    problem.code = finding.rule;
  }
}

}  // namespace taloq::lsp
