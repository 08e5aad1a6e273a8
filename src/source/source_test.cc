// Reading files and splitting them into modules. What a source or its
// configuration file does to the model, and every message, is in the golden
// cases (tests/golden/source_*, config_*).

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include <string>
#include <thread>
#include <vector>

#include "driver/run_context.h"
#include "dump/model_json.h"
#include "source/source_file.h"
#include "source/text_file.h"
#include "test_support.h"

namespace taloq {
namespace {

TEST(Source, TextFilesAreReadWholeAndSplitIntoLines) {
  const testing::TempDir dir;
  const std::string content = std::string("a\0b\r\n", 5) + std::string(200000, 'z');
  EXPECT_EQ(read_text_file(dir.write("f", content)), content);
  EXPECT_EQ(read_text_file(dir.path("none")), std::nullopt);
  EXPECT_EQ(read_text_file(dir.path("")), std::nullopt);  // a directory
  // A pipe has no size to read ahead by: its text is read as it comes.
  const std::string pipe = dir.path("pipe");
  ASSERT_EQ(mkfifo(pipe.c_str(), 0600), 0);
  std::thread writer([&] {
    std::ofstream(pipe, std::ios::binary) << content;
  });
  EXPECT_EQ(read_text_file(pipe), content);
  writer.join();
  EXPECT_EQ(split_lines(""), std::vector<std::string_view>{});
  EXPECT_EQ(split_lines("\n"), std::vector<std::string_view>{""});
  EXPECT_EQ(split_lines("a\r\nb\rc\n\nd"), (std::vector<std::string_view>{"a", "b\rc", "", "d"}));
  EXPECT_EQ(before_nul(std::string_view("ab\0cd", 5)), "ab");
  EXPECT_EQ(before_nul("abc"), "abc");
}

// A long source gives back what it has read while it is parsed; the model
// and the messages are those of the same text held in memory.
TEST(Source, LongFileParsesAsTheSameTextInMemory) {
  std::string text = "taloq module Big;\r\n";
  for (int i = 0; i < 8000; ++i) {
    text += "struct M" + std::to_string(i) + " { int<0..9> a; ascii<1..5> b [?]; };\r\n";
  }
  // A name that stays in use across a comment far longer than a release step.
  text += "int<0..9> Late /* " + std::string(600000, 'x') + " */ ;\n";
  text += "int Unbounded;\nbool Last;\n";
  const testing::TempDir dir;
  const std::string path = dir.write("big.tlq", text);
  testing::CapturedRun from_file, in_memory;
  load_source_file(from_file.run, path);
  load_source_text(in_memory.run, path, text);
  EXPECT_EQ(from_file.text(), in_memory.text());
  EXPECT_NE(from_file.text().find("(8003) : error: Integer 'Unbounded' missing constraint"),
            std::string::npos) << from_file.text();
  std::ostringstream model_from_file, model_in_memory;
  write_model_json(from_file.run, model_from_file);
  write_model_json(in_memory.run, model_in_memory);
  EXPECT_EQ(model_from_file.str(), model_in_memory.str());
  EXPECT_NE(model_from_file.str().find("\"name\":\"Late\""), std::string::npos);
}

TEST(Source, ModulesWithoutElementsKeepNoRecord) {
  const std::string empty = [] {
    std::string text;
    for (int i = 0; i < 100000; ++i) text += "endmodule;";
    return text;
  }();
  testing::CapturedRun captured;
  load_source_text(captured.run, "t.tlq", empty + "bool a;\nendmodule;" + empty);
  ASSERT_EQ(captured.run.modules.size(), 1u);
  EXPECT_EQ(captured.run.module_store.size(), 1u);
  EXPECT_EQ(captured.run.modules[0]->elements->module(), captured.run.modules[0]);
}

}  // namespace
}  // namespace taloq
