#include "driver/checker.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "driver/run_context.h"
#include "test_support.h"

namespace taloq {
namespace {

namespace fs = std::filesystem;
using testing::CapturedRun;

constexpr const char* kBanner =
    "Taloqchk - Check Taloq message definition. V0.9\n"
    "Copyright (c) 2026 the taloqchk developers. All rights reserved.\n"
    "Documentation, releases and issue reports: see the taloqchk project page.\n"
    "\n";

// A scratch folder of files for one test, removed afterwards.
class CheckerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() /
           ("taloq_checker_" +
            std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::string write(const std::string& name, const std::string& text) {
    const std::string path = (dir_ / name).string();
    std::ofstream(path, std::ios::binary) << text;
    return path;
  }

  // Runs the program on `args`, recording what the back end received.
  int run(std::vector<std::string> args) {
    Program program{true, [this](RunContext&, std::span<const std::string> rest) {
                      back_end_called = true;
                      back_end_args.assign(rest.begin(), rest.end());
                    }};
    return run_program(captured.run, args, program);
  }

  fs::path dir_;
  CapturedRun captured;
  bool back_end_called = false;
  std::vector<std::string> back_end_args;
};

TEST_F(CheckerTest, HelpWinsAmongTheLeadingFlags) {
  const std::string source = write("a.tlq", "int<0..1> a;");
  EXPECT_EQ(run({"-x", "-?", source}), 0);
  const std::string text = captured.text();
  EXPECT_EQ(text.find("Taloqchk - Check"), std::string::npos);
  EXPECT_EQ(text.rfind("\n                TaloqChk         ", 0), 0u);
  EXPECT_NE(text.find("    taloqchk source.tlq + lib1.tlq + lib2.tlq\nFlags:-\n"
                      "-?             - Print out this help information.\n\n"),
            std::string::npos);
  EXPECT_EQ(text.find("error(s)"), std::string::npos);
  EXPECT_FALSE(back_end_called);
}

TEST_F(CheckerTest, InsufficientArgumentsPrintsTheHelpAndFails) {
  EXPECT_EQ(run({"-v"}), 1);
  EXPECT_EQ(captured.text().rfind("Insufficient arguments\n\n                TaloqChk", 0), 0u);
  captured.console.str("");
  EXPECT_EQ(run({}), 1);
}

TEST_F(CheckerTest, OtherFlagsAreIgnored) {
  const std::string source = write("a.tlq", "int<0..1> a;");
  EXPECT_EQ(run({"-v", "-", source}), 0);
  EXPECT_EQ(captured.text(), std::string(kBanner) + "0 error(s), 0 warning(s)\n");
  EXPECT_TRUE(back_end_called);
  EXPECT_TRUE(back_end_args.empty());
  EXPECT_EQ(captured.run.main_source, source);
}

TEST_F(CheckerTest, LibraryListEndsAtTheFirstArgumentWithoutPlus) {
  const std::string main = write("m.tlq", "int<0..1> a;");
  const std::string lib = write("l.tlq", "module L; int<0..1> b;");
  EXPECT_EQ(run({main, "+x", lib, "other", "+"}), 0);
  EXPECT_EQ(captured.run.modules.size(), 2u);
  EXPECT_EQ(back_end_args, (std::vector<std::string>{"other", "+"}));
}

TEST_F(CheckerTest, TwoSourcesWithoutPlusLoadOnlyTheFirst) {
  const std::string main = write("m.tlq", "int<0..1> a;");
  EXPECT_EQ(run({main, "second.tlq"}), 0);
  EXPECT_EQ(captured.run.modules.size(), 1u);
  EXPECT_EQ(back_end_args, (std::vector<std::string>{"second.tlq"}));
}

TEST_F(CheckerTest, ALonePlusAtTheEndGoesToTheBackEnd) {
  const std::string main = write("m.tlq", "int<0..1> a;");
  EXPECT_EQ(run({main, "+"}), 0);
  EXPECT_EQ(back_end_args, (std::vector<std::string>{"+"}));
}

TEST_F(CheckerTest, ErrorsSkipTheBackEndAndFailTheRun) {
  const std::string main = write("m.tlq", "int x;");
  const std::string lib = write("l.tlq", "module L; int<0..1> b;");
  EXPECT_EQ(run({main, "+", lib}), 1);
  EXPECT_FALSE(back_end_called);
  EXPECT_EQ(captured.text(), std::string(kBanner) + main +
                                 "(1) : error: Integer 'x' missing constraint\n"
                                 "1 error(s), 0 warning(s)\n");
}

TEST_F(CheckerTest, MissingSourceIsAnError) {
  EXPECT_EQ(run({(dir_ / "none.tlq").string()}), 1);
  EXPECT_NE(captured.text().find("error: Unable to open file: "), std::string::npos);
  EXPECT_NE(captured.text().find("1 error(s), 0 warning(s)\n"), std::string::npos);
}

TEST_F(CheckerTest, DirectoryAsSourceIsAnError) {
  EXPECT_EQ(run({dir_.string()}), 1);
  EXPECT_NE(captured.text().find("error: Unable to open file: " + dir_.string() + "\n"),
            std::string::npos);
}

TEST_F(CheckerTest, ProjectFileListsTheSources) {
  const std::string a = write("a.tlq", "module A; int<0..1> a;");
  const std::string b = write("b.tlq", "module B; int<0..1> b;");
  const std::string project =
      write("p.TLQPRJ", "# comment\n-skipped\n\n   \n " + b + "\n" + a + "  \t\n" + b + "\n");
  EXPECT_EQ(run({project, "extra"}), 0);
  ASSERT_EQ(captured.run.modules.size(), 2u);
  EXPECT_EQ(captured.run.modules[0]->name, "A");
  EXPECT_EQ(captured.run.modules[0]->path, a);
  EXPECT_EQ(captured.run.modules[1]->name, "B");
  EXPECT_EQ(captured.run.main_source, project);
  EXPECT_EQ(back_end_args, (std::vector<std::string>{project, "extra"}));
}

TEST_F(CheckerTest, OnlyTheLastExtensionDecidesTheMode) {
  const std::string source = write("x.tlqprj.tlq", "int<0..1> a;");
  EXPECT_EQ(run({source}), 0);
  EXPECT_EQ(captured.run.modules.size(), 1u);
}

TEST_F(CheckerTest, EmptyProjectLoadsNothing) {
  const std::string project = write("p.tlqprj", "# nothing\n");
  EXPECT_EQ(run({project}), 0);
  EXPECT_EQ(captured.text(), std::string(kBanner) + "0 error(s), 0 warning(s)\n");
  EXPECT_FALSE(captured.run.main_source.has_value());
  EXPECT_FALSE(back_end_called);
}

TEST_F(CheckerTest, UnreadableProjectFileCountsAsAnError) {
  const std::string project = (dir_ / "missing.tlqprj").string();
  EXPECT_EQ(run({project}), 1);
  EXPECT_EQ(captured.text(), std::string(kBanner) +
                                 "Fatal Error: Unable to open Taloq project file: " + project +
                                 "\n1 error(s), 0 warning(s)\n");
}

TEST_F(CheckerTest, ProjectLinesAreReadWhole) {
  // A path well over 255 characters, in folders of legal name length.
  const std::string folder(100, 'n');
  fs::create_directories(dir_ / folder / folder / folder);
  const std::string source = write(folder + "/" + folder + "/" + folder + "/a.tlq", "int<0..1> a;");
  const std::string project = write("p.tlqprj", source + "\n");
  EXPECT_EQ(run({project}), 0);
  ASSERT_EQ(captured.run.modules.size(), 1u);
  EXPECT_EQ(captured.run.modules[0]->path, source);
}

}  // namespace
}  // namespace taloq
