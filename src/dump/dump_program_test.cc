#include "dump/dump_program.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "driver/run_context.h"
#include "dump/dump_test_support.h"

namespace taloq {
namespace {

// One run of taloqdump on the given arguments, with both streams captured.
struct DumpRun {
  explicit DumpRun(const std::vector<std::string>& args) {
    const Program program = dump_program(json, console);
    run.console = program.console;
    status = run_program(run, args, program);
  }
  RunContext run;
  std::ostringstream json;
  std::ostringstream console;
  int status = -1;
};

// A source file in a folder of its own, removed afterwards.
class SourceFile {
 public:
  SourceFile(const std::string& name, const std::string& text) {
    const auto unique = reinterpret_cast<std::uintptr_t>(this);
    dir_ = std::filesystem::temp_directory_path() / ("taloqdump-test-" + std::to_string(unique));
    std::filesystem::create_directories(dir_);
    path_ = (dir_ / name).string();
    std::ofstream(path_) << text;
  }
  ~SourceFile() { std::filesystem::remove_all(dir_); }
  SourceFile(const SourceFile&) = delete;
  SourceFile& operator=(const SourceFile&) = delete;
  const std::string& path() const { return path_; }

 private:
  std::filesystem::path dir_;
  std::string path_;
};

TEST(DumpProgram, HelpGoesToTheConsoleWithoutJson) {
  const DumpRun dump({"-?"});
  EXPECT_EQ(dump.status, 0);
  EXPECT_EQ(dump.json.str(), "");
  EXPECT_TRUE(dump.console.str().starts_with("\n                TaloqChk"));
  EXPECT_NE(dump.console.str().find("Flags:-\n"), std::string::npos);
}

TEST(DumpProgram, InsufficientArguments) {
  const DumpRun dump({"-x"});
  EXPECT_EQ(dump.status, 1);
  EXPECT_EQ(dump.json.str(), "");
  EXPECT_TRUE(dump.console.str().starts_with("Insufficient arguments\n\n"));
}

TEST(DumpProgram, CleanRunWritesJsonAndNoBanner) {
  const SourceFile source("clean.tlq",
                          "module Clean;\nstruct S { int<0..9> n; S again [0..1]; };\n");
  const DumpRun dump({source.path()});
  EXPECT_EQ(dump.status, 0);
  EXPECT_EQ(dump.console.str(), "0 error(s), 0 warning(s)\n");
  std::string error;
  const rapidjson::Document document = testing::parse_json(dump.json.str(), error);
  ASSERT_EQ(error, "");
  EXPECT_EQ(testing::check_body_rules(document), "");
  EXPECT_STREQ(document["modules"][0]["name"].GetString(), "Clean");
  EXPECT_TRUE(document["modules"][0]["elements"][0]["children"][1]["recursive"].GetBool());
}

TEST(DumpProgram, ErrorsGiveNoJson) {
  const SourceFile source("broken.tlq", "module Broken;\nstruct S { Missing m; };\n");
  const DumpRun dump({source.path()});
  EXPECT_EQ(dump.status, 1);
  EXPECT_EQ(dump.json.str(), "");
  EXPECT_NE(dump.console.str().find("error: Unable to expand definition of -Missing- in -m-\n"),
            std::string::npos);
  EXPECT_TRUE(dump.console.str().ends_with("1 error(s), 0 warning(s)\n"));
}

}  // namespace
}  // namespace taloq
