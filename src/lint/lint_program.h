#pragma once

#include <iosfwd>
#include <span>
#include <string>
#include <vector>

#include "lint/output_formats.h"

namespace taloq::lint {

// The command line of taloqlint: its own options (each beginning with
// "--", wherever it stands) and the checker's arguments, passed on in order.
struct Options {
  enum class Action { kLint, kHelp, kVersion, kRules };
  Action action = Action::kLint;
  Format format = Format::kText;
  bool fail_on_warnings = false;
  std::vector<std::string> checker_args;
  std::string error;  // a usage error: the option and what is wrong with it
};

Options parse_options(std::span<const std::string> args);

// The whole program: the report on `out`, usage errors on `err`. Returns the
// exit status: 1 when an error was reported (or, with --fail-on-warnings, a
// warning), 2 for a usage error, else 0.
int run_lint(std::span<const std::string> args, std::ostream& out, std::ostream& err);

}  // namespace taloq::lint
