#include "source/source_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/run_context.h"
#include "source/text_file.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::CapturedRun;
using testing::load_text;
using testing::nth;
using testing::TempDir;

// The rest of the text from where the start-marker scan leaves the stream.
std::string after_marker(std::string_view text) {
  CharStream stream(text);
  skip_to_start_marker(stream);
  std::string rest;
  for (int c = stream.get(); c != kEof; c = stream.get()) rest += static_cast<char>(c);
  return rest;
}

TEST(StartMarker, ParsingBeginsOnTheLineAfterIt) {
  EXPECT_EQ(after_marker("junk\ntaloq*/\nbool a;"), "bool a;");
  EXPECT_EQ(after_marker("junk\n \t taloq*/ more text\nbool a;"), "bool a;");
  EXPECT_EQ(after_marker("/**\n  taloq*/\r\nbool a;"), "bool a;");
  EXPECT_EQ(after_marker("taloq*/"), "");
  // White space before the marker stays within its own line.
  EXPECT_EQ(after_marker("\ntaloq*/\nz"), "z");
  EXPECT_EQ(after_marker("/**\n  \n\t\r\ntaloq*/\nz"), "z");
  EXPECT_EQ(after_marker("x\n   \ntaloq*/\nbool a;"), "bool a;");
  // Only the first marker line counts.
  EXPECT_EQ(after_marker("taloq*/\nx\ntaloq*/\ny"), "x\ntaloq*/\ny");
  // Without a marker line the whole text is the definition.
  EXPECT_EQ(after_marker("bool a; taloq*/\nbool b;"), "bool a; taloq*/\nbool b;");
  EXPECT_EQ(after_marker("Taloq*/\ntaloq* /\ntaloq\n"), "Taloq*/\ntaloq* /\ntaloq\n");
  EXPECT_EQ(after_marker(""), "");
  // White space other than blanks and tabs counts too; a NUL does not.
  EXPECT_EQ(after_marker("\v\f\rtaloq*/\nz"), "z");
  EXPECT_EQ(after_marker(std::string_view("\0taloq*/\nz", 10)), std::string("\0taloq*/\nz", 10));
  // A marker line of any length is found.
  EXPECT_EQ(after_marker(std::string(5000, ' ') + "taloq*/" + std::string(5000, 'x') + "\nz"), "z");
  EXPECT_EQ(after_marker(std::string(300, 'x') + "taloq*/\nz"),
            std::string(300, 'x') + "taloq*/\nz");
}

TEST(LoadSource, LineNumbersAreTheFilesOwn) {
  CapturedRun captured;
  EXPECT_EQ(load_text(captured, "header\ntaloq*/\n\nbool a x;"),
            "t.tlq(4) : error: Unexpected token: x\n");
  CapturedRun plain;
  EXPECT_EQ(load_text(plain, "\nbool a x;"), "t.tlq(2) : error: Unexpected token: x\n");
}

TEST(LoadSource, ModulesAreSplitAtEndModule) {
  CapturedRun captured;
  const std::string output = load_text(captured,
                                       "module A; bool a;\n"  // 1
                                       "endmodule\n"          // 2
                                       ";\n"                  // 3: B counts on from here
                                       "module B;\n"          // 4
                                       "bool b x;\n"          // 5
                                       "endmodule;"           // 6: C counts on from here
                                       " module C; bool c y;\n"
                                       "bool d z;");  // 7
  EXPECT_EQ(output,
            "t.tlq(5) : error: Unexpected token: x\n"
            "t.tlq(6) : error: Unexpected token: y\n"
            "t.tlq(7) : error: Unexpected token: z\n");
  const RunContext& run = captured.run;
  ASSERT_EQ(run.modules.size(), 3u);
  EXPECT_EQ(run.modules[0]->name, "A");
  EXPECT_EQ(run.modules[1]->name, "B");
  EXPECT_EQ(run.modules[2]->name, "C");
  for (const ModuleRecord* module : run.modules) EXPECT_EQ(module->path, "t.tlq");
  EXPECT_EQ(run.modules[1]->elements->line(), 5);
  EXPECT_EQ(run.modules[2]->elements->line(), 6);
  EXPECT_EQ(nth(run.modules[2]->elements, 1)->line(), 7);
  EXPECT_EQ(run.errors, 3);
}

TEST(LoadSource, ModulesWithoutElementsAreDiscarded) {
  CapturedRun captured;
  load_text(captured,
            "module Empty; import X;\nendmodule;\n"
            "module Plugs; plug bool p as p; into T;\nendmodule;\n"
            "module Kept; bool k;\nendmodule;\n");
  ASSERT_EQ(captured.run.modules.size(), 1u);
  EXPECT_EQ(captured.run.modules[0]->name, "Kept");
  EXPECT_EQ(captured.run.errors, 0);
}

TEST(LoadSource, DiscardedModulesKeepNoRecord) {
  std::string text;
  for (int i = 0; i < 100000; ++i) text += "endmodule;";
  CapturedRun captured;
  load_source_text(captured.run, "t.tlq", text + "bool a;\nendmodule;" + text);
  ASSERT_EQ(captured.run.modules.size(), 1u);
  EXPECT_EQ(captured.run.module_store.size(), 1u);
  EXPECT_EQ(captured.run.modules[0]->elements->name(), "a");
  EXPECT_EQ(captured.run.modules[0]->elements->module(), captured.run.modules[0]);
}

TEST(LoadSource, ResultIsTheErrorCountOfTheLastModule) {
  CapturedRun first_bad;
  EXPECT_EQ(load_source_text(first_bad.run, "t.tlq", "bool a x y;\nendmodule;\nbool b;"), 0);
  EXPECT_EQ(first_bad.run.errors, 2);
  CapturedRun last_bad;
  EXPECT_EQ(load_source_text(last_bad.run, "t.tlq", "bool a;\nendmodule;\nbool b x;"), 1);
  CapturedRun empty;
  EXPECT_EQ(load_source_text(empty.run, "t.tlq", ""), 0);
  EXPECT_TRUE(empty.run.modules.empty());
  EXPECT_EQ(empty.text(), "");
  CapturedRun no_elements;
  EXPECT_EQ(load_source_text(no_elements.run, "t.tlq", "// nothing\nmodule M;"), 0);
  EXPECT_TRUE(no_elements.run.modules.empty());
}

TEST(LoadSource, ATopLevelBraceEndsTheFile) {
  CapturedRun captured;
  EXPECT_EQ(load_text(captured, "bool a; }\nendmodule;\nbool b x;"), "");
  ASSERT_EQ(captured.run.modules.size(), 1u);
  EXPECT_EQ(captured.run.modules[0]->elements->next(), nullptr);
}

TEST(LoadSource, ModulesOfSeveralFilesInLoadOrder) {
  CapturedRun captured;
  load_source_text(captured.run, "one.tlq", "module A; bool a;\nendmodule;\nmodule B; bool b;");
  load_source_text(captured.run, "two.tlq", "module C; bool c;");
  ASSERT_EQ(captured.run.modules.size(), 3u);
  EXPECT_EQ(captured.run.modules[0]->name, "A");
  EXPECT_EQ(captured.run.modules[1]->path, "one.tlq");
  EXPECT_EQ(captured.run.modules[2]->path, "two.tlq");
}

TEST(LoadSourceFile, FilesThatCannotBeRead) {
  TempDir dir;
  dir.write("lost.tlqcfg", "module Nowhere\n");
  CapturedRun missing;
  EXPECT_NE(load_source_file(missing.run, dir.path("lost.tlq")), 0);
  EXPECT_EQ(missing.text(), "error: Unable to open file: " + dir.path("lost.tlq") + "\n");
  EXPECT_EQ(missing.run.errors, 1);
  // A directory is no source file either.
  CapturedRun directory;
  EXPECT_NE(load_source_file(directory.run, dir.path("")), 0);
  EXPECT_EQ(directory.text(), "error: Unable to open file: " + dir.path("") + "\n");
}

TEST(LoadSourceFile, ReadsTheFileAndItsConfiguration) {
  TempDir dir;
  const std::string path = dir.write("s.tlq", "/**\ntaloq*/\r\nmodule M;\r\nbool a x;\r\n");
  dir.write("s.tlqcfg", "a list\nb dynamic\n");
  CapturedRun captured;
  EXPECT_EQ(load_source_file(captured.run, path), 1);
  EXPECT_EQ(captured.text(), path + "(4) : error: Unexpected token: x\n" + path +
                                 "cfg(2) : warning: Unable to locate item: b\n");
  ASSERT_EQ(captured.run.modules.size(), 1u);
  EXPECT_TRUE(captured.run.modules[0]->elements->list());
}

TEST(LoadSourceFile, NulAndHighBytes) {
  TempDir dir;
  const std::string path = dir.write("bin.tlq", std::string("bool \xe9t\xff;\nbool b\0c;\n", 20));
  CapturedRun captured;
  load_source_file(captured.run, path);
  EXPECT_EQ(captured.text(), path + "(1) : error: Invalid format for an identifier: \xe9\n" + path +
                                 "(1) : error: Unexpected token: \xff\n" + path +
                                 "(2) : error: Unexpected token: \n" + path +
                                 "(2) : error: Unexpected token: c\n");
  EXPECT_EQ(captured.run.modules[0]->elements->name(), "t");
}

TEST(TextFile, SplitLines) {
  EXPECT_EQ(split_lines(""), std::vector<std::string_view>{});
  EXPECT_EQ(split_lines("\n"), std::vector<std::string_view>{""});
  EXPECT_EQ(split_lines("a\r\nb\rc\n\nd"), (std::vector<std::string_view>{"a", "b\rc", "", "d"}));
  EXPECT_EQ(before_nul(std::string_view("ab\0cd", 5)), "ab");
  EXPECT_EQ(before_nul("abc"), "abc");
}

TEST(TextFile, ReadsRegularFilesWhole) {
  TempDir dir;
  const std::string content = std::string("a\0b\r\n", 5) + std::string(200000, 'z');
  const std::string path = dir.write("f", content);
  EXPECT_EQ(read_text_file(path), content);
  EXPECT_EQ(read_text_file(dir.path("none")), std::nullopt);
  EXPECT_EQ(read_text_file(dir.path("")), std::nullopt);
}

}  // namespace
}  // namespace taloq
