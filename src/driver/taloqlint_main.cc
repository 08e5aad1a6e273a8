#include <iostream>
#include <string>
#include <vector>

#include "lint/lint_program.h"

// taloqlint: the checker's run and every line it prints, and findings on the
// mistakes that the language lets through, as text, JSON, GitHub workflow
// commands or a SARIF log.
int main(int argc, char** argv) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
  return taloq::lint::run_lint(args, std::cout, std::cerr);
}
