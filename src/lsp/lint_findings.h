#pragma once

#include <vector>

#include "lsp/check_run.h"

namespace taloq::lsp {

// The points of a run at which taloqlint's rules can look at the model.
enum class LintPoint {
  kLoaded,      // every source read, before the analysis
  kUnresolved,  // the link pass could not resolve every reference
  kClean,       // the analysis ran to its end without an error
};

// Runs the rules of taloqlint that belong at `point` and appends their
// findings, each with its rule's name as code. The only place where the
// server meets the linter.
void add_lint_findings(RunContext& run, const ReferenceTexts& parsed_references, LintPoint point,
                       std::vector<Problem>& problems);

}  // namespace taloq::lsp
