#pragma once

#include <span>
#include <string_view>

#include "lint/finding.h"

namespace taloq::lint {

class LintContext;

// When a rule can run: on the modules as parsed (even after errors), on the
// model left by a link pass that could not resolve every reference, or on
// the model of a clean analysis.
enum class Stage { kParsed, kUnresolved, kResolved };

struct Rule {
  std::string_view name;
  Level level;
  std::string_view description;
  Stage stage;
  void (*check)(LintContext& lint);
};

// Every rule, in the order `taloqlint --rules` lists them.
std::span<const Rule> rule_table();

// The checks, one per rule.
void check_impossible_bounds(LintContext& lint);
void check_clamped_numbers(LintContext& lint);
void check_duplicates(LintContext& lint);
void check_unclosed_brackets(LintContext& lint);
void check_imports(LintContext& lint);
void check_unresolved_references(LintContext& lint);
void check_never_finite(LintContext& lint);
void check_configuration(LintContext& lint);
void check_discarded_input(LintContext& lint);

}  // namespace taloq::lint
