#include "lsp/check_run.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "lsp/check_scheduler.h"
#include "test_support.h"

namespace taloq::lsp {
namespace {

TEST(PlanRun, TakesTheNearestProjectThatListsTheDocument) {
  const testing::TempDir dir;
  std::filesystem::create_directories(dir.path("work/shop"));
  dir.write("work/all.tlqprj", "# everything\nshop/a.tlq\n  shop/b.tlq\n");
  dir.write("work/shop/near.TLQPRJ", "- the old list\nb.tlq \n");
  dir.write("work/shop/other.tlqprj", "a.tlq");
  const std::string root = dir.path("work");
  struct Case {
    const char* document;
    std::vector<std::string> roots;
    const char* key;  // the project, or the document alone
  };
  const std::vector<Case> cases = {
      {"work/shop/a.tlq", {root}, "work/shop/other.tlqprj"},  // the nearest listing it
      {"work/shop/b.tlq", {root}, "work/shop/near.TLQPRJ"},   // trailing blanks, any case
      {"work/shop/c.tlq", {root}, "work/shop/c.tlq"},         // listed nowhere
      {"work/shop/x.tlq", {}, "work/shop/x.tlq"},             // no workspace: its folder only
      {"work/all.tlqprj", {root}, "work/all.tlqprj"},         // a project checks itself
  };
  for (const Case& c : cases) {
    const RunPlan plan = plan_run(resolve_path("", dir.path(c.document)), c.roots);
    EXPECT_EQ(plan.key, dir.path(c.key)) << c.document;
  }
  // Without the nearer project the one above is taken, within the
  // workspace only.
  dir.write("work/shop/other.tlqprj", "");
  EXPECT_EQ(plan_run(dir.path("work/shop/a.tlq"), {root}).key, dir.path("work/all.tlqprj"));
  EXPECT_EQ(plan_run(dir.path("work/shop/a.tlq"), {root + "/"}).key, dir.path("work/all.tlqprj"));
  EXPECT_EQ(plan_run(dir.path("work/shop/a.tlq"), {dir.path("work/shop")}).key,
            dir.path("work/shop/a.tlq"));
  EXPECT_EQ(plan_run(dir.path("work/shop/a.tlq"), {}).key, dir.path("work/shop/a.tlq"));
  // A workspace folder that does not hold the document bounds nothing.
  EXPECT_EQ(plan_run(dir.path("work/shop/a.tlq"), {dir.path("elsewhere")}).key,
            dir.path("work/shop/a.tlq"));
  const RunPlan alone = plan_run(dir.path("work/shop/-x.tlq"), {root});
  EXPECT_EQ(alone.directory, dir.path("work/shop"));
  EXPECT_EQ(alone.argument, "./-x.tlq");  // not a flag of the checker
}

TEST(RunCheck, ReadsOpenDocumentsInsteadOfTheirFiles) {
  const testing::TempDir dir;
  dir.write("p.tlqprj", "lib.tlq\nmain.tlq\nmissing.tlq\n");
  dir.write("lib.tlq", "taloq module Lib;\nint<0..9> Digit;\n");
  dir.write("lib.tlqcfg", "module Lib\nDigit.nothing list\n");
  dir.write("main.tlq", "taloq module Main;\nbool saved_text_is_not_read x;\n");
  const std::string open = "taloq module Main;\nimport Lib;\nLib::Digit d;\n";
  const std::unique_ptr<CheckResult> result =
      run_check(plan_run(dir.path("main.tlq"), {}), [&](const std::string& path) {
        return path == dir.path("main.tlq") ? &open : nullptr;
      });
  std::vector<std::string> problems;
  for (const Problem& p : result->problems) {
    problems.push_back(p.file + ":" + std::to_string(p.line) + ":" + std::to_string(p.severity) +
                       ":" + p.code + ":" + p.message.substr(0, 32));
  }
  EXPECT_EQ(problems, (std::vector<std::string>{
                          "lib.tlqcfg:2:2::Unable to locate item: Digit.not",
                          ":0:1::Unable to open file: missing.tlq",
                          "lib.tlqcfg:2:2:configuration:item path Digit.nothing names no",
                      }));
  EXPECT_EQ(result->sources, (std::vector<std::string>{dir.path("lib.tlq"), dir.path("main.tlq")}));
  EXPECT_EQ(result->disk_texts.count(dir.path("lib.tlq")), 1u);
  EXPECT_EQ(result->disk_texts.count(dir.path("main.tlq")), 0u);
}

TEST(CheckScheduler, ChecksOnceAfterTheLastChangeOfEachRun) {
  using namespace std::chrono_literals;
  CheckScheduler scheduler(200ms);
  const CheckScheduler::Clock::time_point t0{};
  scheduler.schedule("a", t0);
  scheduler.schedule("b", t0 + 50ms);
  scheduler.schedule("a", t0 + 100ms);  // a newer change moves a's check on
  EXPECT_EQ(scheduler.next_due(), t0 + 250ms);
  EXPECT_TRUE(scheduler.take_due(t0 + 249ms).empty());
  EXPECT_EQ(scheduler.take_due(t0 + 250ms), std::vector<std::string>{"b"});
  EXPECT_TRUE(scheduler.pending("a"));
  scheduler.cancel("a");
  EXPECT_FALSE(scheduler.next_due());
}

}  // namespace
}  // namespace taloq::lsp
