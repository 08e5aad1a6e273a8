// Reading files and splitting them into modules. What a source or its
// configuration file does to the model, and every message, is in the golden
// cases (tests/golden/source_*, config_*).

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

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
  // Longer than the room a plain file of no size gets, so that a pipe read
  // as one would fail.
  const std::string content = std::string("a\0b\r\n", 5) + std::string(2 << 20, 'z');
  EXPECT_EQ(read_text_file(dir.write("f", content)), content);
  EXPECT_EQ(read_text_file(dir.path("none")), std::nullopt);
  EXPECT_EQ(read_text_file(dir.path("")), std::nullopt);  // a directory
  // A plain file whose first read fails (at offset 0 it reads unmapped memory).
  EXPECT_EQ(read_text_file("/proc/self/mem"), std::nullopt);
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

// Where the definition starts: the line after the first marker line, found
// in a text held whole or handed over a few bytes at a time.
TEST(Source, StartMarkerIsFoundAtEveryReadBoundary) {
  const struct {
    std::string text;
    int line;
    std::string rest;
  } cases[] = {
      {"taloq*/\nbool a;", 2, "bool a;"},
      {"x\n \t taloq*/ more\r\nbool a;", 3, "bool a;"},
      {"  \ntaloq*/\nb", 3, "b"},           // a blank line is not the marker line
      {"x taloq*/\nb", 1, "x taloq*/\nb"},  // the marker opens the line or is none
      {"a\nb\n", 1, "a\nb\n"},
      {"a\ntaloq*/", 3, ""},                 // the marker line ends the text
      {"", 1, ""},
      {std::string(3000, 'y') + "\ntaloq*/\nz", 3, "z"},
  };
  for (const std::size_t piece : {0, 1, 3, 64}) {
    for (const auto& c : cases) {
      testing::PiecewiseText pieces(c.text, piece);
      CharStream stream = piece == 0 ? CharStream(c.text) : CharStream(pieces);
      EXPECT_EQ(skip_to_start_marker(stream), c.line) << c.text.substr(0, 40) << ' ' << piece;
      EXPECT_EQ(stream.unread_text(), c.rest) << c.text.substr(0, 40) << ' ' << piece;
    }
  }
}

// A long source is read as it is parsed, in pages that take the next
// stretch once the parser has passed them; the model and the messages are
// those of the same text held in memory. Without a start marker the search
// for one reads the file whole first.
TEST(Source, LongFileParsesAsTheSameTextInMemory) {
  std::string body = "taloq module Big;\r\n";
  for (int i = 0; i < 16000; ++i) {
    body += "struct M" + std::to_string(i) + " { int<0..9> a; ascii<1..5> b [?]; };\r\n";
  }
  // A name that stays in use across a comment far longer than a release step.
  body += "int<0..9> Late /* " + std::string(600000, 'x') + " */ ;\n";
  body += "int Unbounded;\nbool Last;\n";
  const testing::TempDir dir;
  for (const bool marked : {true, false}) {
    const std::string text = marked ? "/* taloq*/\n" + body : body;
    const std::string path = dir.write("big.tlq", text);
    testing::CapturedRun from_file, in_memory;
    load_source_file(from_file.run, path);
    load_source_text(in_memory.run, path, text);
    EXPECT_EQ(from_file.text(), in_memory.text());
    const std::string line = marked ? "(16004)" : "(16003)";  // the file's own line
    EXPECT_NE(from_file.text().find(line + " : error: Integer 'Unbounded' missing constraint"),
              std::string::npos) << from_file.text();
    std::ostringstream model_from_file, model_in_memory;
    write_model_json(from_file.run, model_from_file);
    write_model_json(in_memory.run, model_in_memory);
    EXPECT_EQ(model_from_file.str(), model_in_memory.str());
    EXPECT_NE(model_from_file.str().find("\"name\":\"Last\""), std::string::npos);
  }
}

// The room for a file read as it goes is fixed when it is opened; a file
// that outgrows it while it is read ends there and says it failed.
TEST(Source, FileThatOutgrowsItsRoomFails) {
  const testing::TempDir dir;
  const std::string path = dir.write("grows.tlq", "bool a;\n");
  std::optional<FileText> file = open_file_text(path);
  ASSERT_TRUE(file.has_value());
  const std::string growth(3 << 20, 'g');
  std::ofstream(path, std::ios::app | std::ios::binary) << growth;
  std::size_t before = 0;
  do before = file->view().size(); while (file->read_more().size() != before);
  EXPECT_TRUE(file->failed());
  EXPECT_GT(file->view().size(), std::size_t{1} << 20);
  EXPECT_LT(file->view().size(), growth.size());
  EXPECT_EQ(file->view().substr(0, 9), "bool a;\ng");
  EXPECT_EQ(read_file_text(path).value().view().size(), growth.size() + 8);
  // Read to its end, released text goes back to the system at once.
  const auto page = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
  std::optional<FileText> whole = read_file_text(path);
  whole->release_before(growth.size());
  EXPECT_EQ(whole->view().find_first_not_of('\0'), growth.size() / page * page);
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
