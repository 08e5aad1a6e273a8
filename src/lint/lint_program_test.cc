#include "lint/lint_program.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace taloq::lint {
namespace {

TEST(ParseOptions, OwnOptionsAnywhereTheCheckersArgumentsInOrder) {
  struct Case {
    std::vector<std::string> args;
    Options::Action action;
    Format format;
    bool fail_on_warnings;
    std::vector<std::string> checker_args;
  };
  using A = Options::Action;
  const std::vector<Case> cases = {
      {{"a.tlq"}, A::kLint, Format::kText, false, {"a.tlq"}},
      {{"--format=json", "a.tlq", "+", "b.tlq"}, A::kLint, Format::kJson, false,
       {"a.tlq", "+", "b.tlq"}},
      {{"a.tlq", "--format", "sarif", "--fail-on-warnings"}, A::kLint, Format::kSarif, true,
       {"a.tlq"}},
      {{"-x", "--format=github", "p.tlqprj"}, A::kLint, Format::kGithub, false, {"-x", "p.tlqprj"}},
      {{"-x", "-?", "a.tlq"}, A::kHelp, Format::kText, false, {"-x", "-?", "a.tlq"}},
      // After the first file, "-?" is the checker's business, not a flag.
      {{"a.tlq", "-?"}, A::kLint, Format::kText, false, {"a.tlq", "-?"}},
      {{"--rules"}, A::kRules, Format::kText, false, {}},
      {{"--version", "a.tlq"}, A::kVersion, Format::kText, false, {"a.tlq"}},
      {{"--help"}, A::kHelp, Format::kText, false, {}},
  };
  for (const Case& c : cases) {
    const Options options = parse_options(c.args);
    EXPECT_EQ(options.error, "") << c.args.front();
    EXPECT_EQ(options.action, c.action) << c.args.front();
    EXPECT_EQ(options.format, c.format) << c.args.front();
    EXPECT_EQ(options.fail_on_warnings, c.fail_on_warnings) << c.args.front();
    EXPECT_EQ(options.checker_args, c.checker_args) << c.args.front();
  }
}

TEST(ParseOptions, UsageErrorsNameTheOption) {
  const std::vector<std::pair<std::vector<std::string>, std::string>> cases = {
      {{"--format=xml", "a.tlq"}, "--format takes text, json, github or sarif, not 'xml'"},
      {{"a.tlq", "--format"}, "--format takes text, json, github or sarif, not ''"},
      {{"--rules=all"}, "--rules takes no value"},
      {{"--colour", "a.tlq"}, "unknown option --colour"},
  };
  for (const auto& [args, error] : cases) EXPECT_EQ(parse_options(args).error, error);
}

}  // namespace
}  // namespace taloq::lint
