// Inputs meant to break a checker: huge tokens, deep nesting of comments,
// bodies and plugs, shared bodies reached along exponentially many paths,
// bytes it does not expect anywhere, files cut short and files that are not
// what their names promise. Each must end with the right diagnostics and
// never crash, hang or touch memory it does not own.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "analysis/pipeline.h"
#include "driver/checker.h"
#include "driver/run_context.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::CapturedRun;
using testing::load_text;
using testing::TempDir;

std::string repeat(std::string_view text, std::size_t times) {
  std::string out;
  out.reserve(text.size() * times);
  for (std::size_t i = 0; i < times; ++i) out += text;
  return out;
}

std::size_t count_of(const std::string& text, std::string_view part) {
  std::size_t count = 0;
  for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) {
    ++count;
  }
  return count;
}

constexpr std::size_t kMegabyte = 1 << 20;

// A definition, a line its output must hold `count` times, and the errors.
struct Hostile {
  std::string text;
  std::string line;
  std::size_t count;
  int errors;
};

TEST(HostileInput, HugeTokensAndDeepNesting) {
  const std::string tag_piece = "Identifier name exceeds 63 characters: " + std::string(128, 't');
  const std::string nesting = "t.tlq(1001) : error: Nesting of bodies exceeds 1000 levels\n";
  const std::vector<Hostile> cases = {
      {repeat("/* ", 100000) + "deep" + repeat(" */", 100000) + "\nint x;",
       "t.tlq(2) : error: Integer 'x' missing constraint\n", 1, 1},
      {"bool x as " + std::string(kMegabyte, 't') + ";", tag_piece, kMegabyte / 128, 8193},
      {"bool " + std::string(10 * kMegabyte, 'n') + ";", "exceeds 63", 10 * kMegabyte / 128,
       10 * kMegabyte / 128 + 2},
      {"int<0.." + std::string(kMegabyte, '9') + "> x;", "Invalid type constraint", 1, 1},
      {"ascii<1..2 /" + std::string(10 * kMegabyte, 'p') + "/> s; int x;", "'x'", 1, 1},
      {"const <" + std::string(10 * kMegabyte, 'c') + "> k;",
       "error: Const name exceeds 63 characters: " + std::string(10 * kMegabyte, 'c') + "\n", 1, 1},
      {repeat("int<0..1> a; ", 10 * kMegabyte / 13) + "int x;", "'x'", 1, 1},
      {"bool a;" + std::string(10 * kMegabyte, ' ') + "/*" + std::string(10 * kMegabyte, 'c') +
           "*/ int x;",
       "t.tlq(1) : error: Integer 'x'", 1, 1},
      {repeat("struct s {\n", 1000) + "bool b;" + repeat("};", 1000) + "int x;", "'x'", 1, 1},
      {repeat("struct s {\n", 1001) + "bool b; { } junk [ ;" + repeat("};", 1001) + "\nint x;",
       nesting, 1, 2},
      {repeat("struct s {\n", 100000), "t.tlq(100001) : error: Encountered premature end of file\n",
       1001, 1002},
      {repeat("plug\n", 100000), nesting, 1, 3001},
      {repeat("struct s { plug ", 600) + "bool b as b; " + repeat("} };", 600),
       "error: Nesting of bodies exceeds 1000 levels\n", 1, 1000},
      {repeat("{", 100000), "error: Illegal reference name: {\n", 100000, 100000},
      {"int x;\r\nint y;\r\n", "t.tlq(2) : error: Integer 'y'", 1, 2},
      {"int x;\rint y;\r", "t.tlq(1) : error: Integer 'y'", 1, 2},
      {std::string("module Ab\0cd;\nbool n\xe9;", 22), "t.tlq(2) : error: Unexpected token: \xe9\n",
       1, 1},
  };
  for (const Hostile& c : cases) {
    CapturedRun captured;
    const std::string output = load_text(captured, c.text);
    EXPECT_EQ(count_of(output, c.line), c.count) << c.line;
    EXPECT_EQ(captured.run.errors, c.errors) << c.line;
  }
  CapturedRun modules;
  std::string text;
  for (int i = 0; i < 10000; ++i)
    text += "module M" + std::to_string(i) + "; int<0..1> a; endmodule;\n";
  EXPECT_EQ(load_text(modules, text), "");
  ASSERT_EQ(modules.run.modules.size(), 10000u);
  EXPECT_EQ(modules.run.modules.back()->name, "M9999");
}

const Element* member(const Element* element, const std::string& name) {
  for (const Element* p = element->children(); p != nullptr; p = p->next()) {
    if (p->name() == name) return p;
  }
  return nullptr;
}

// A clean definition analysed; `check` then looks at the model.
template <class Check>
void analyse(const std::string& text, Check check) {
  CapturedRun captured;
  ASSERT_EQ(load_text(captured, text), "");
  ASSERT_EQ(run_analysis(captured.run), 1) << captured.text();
  EXPECT_EQ(captured.text(), "");
  check(captured.run);
}

TEST(HostileInput, SharingThatWouldExplodeAWalk) {
  // 2^40 paths to the body of S0.
  std::string text = "struct S0 { int<0..1> v; };\n";
  for (int i = 1; i <= 40; ++i) {
    const std::string below = "S" + std::to_string(i - 1);
    text += "struct S" + std::to_string(i) + " { " + below + " a; " + below + " b; };\n";
  }
  analyse(text, [](RunContext& run) {
    const Element* s40 = testing::nth(run.merged_elements, 40);
    EXPECT_EQ(s40->children()->next()->type_name(), "S39");
    EXPECT_EQ(s40->children()->next()->value(), 1);
    for (const Element& element : run.element_store) EXPECT_FALSE(element.recursive());
  });
  // Thirty plugs, each copying its structure twice into the previous copies:
  // the last body lies under 2^30 paths, and its reference reads in Core.
  text =
      "taloq module Core;\nstruct T { int<0..1> t; };\nstruct Stamp { int<0..1> s; };\n"
      "endmodule;\ntaloq module Ext;\n";
  std::string target = "Core::T";
  for (int i = 1; i <= 30; ++i) {
    const std::string c = "c" + std::to_string(i);
    text += "plug struct " + c + " as " + c + " { int<0..1> v; Stamp r; }; into " + target + ", " +
            target + ";\n";
    target += "." + c;
  }
  analyse(text + "int<0..1> keep;\n", [](RunContext& run) {
    const Element* e = run.merged_elements;
    std::string name = "T";
    for (int i = 1; i <= 30; ++i) {
      name += "_c" + std::to_string(i);
      e = member(e, "c" + std::to_string(i));
      ASSERT_NE(e, nullptr) << name;
    }
    EXPECT_EQ(e->type_name(), name);
    EXPECT_EQ(member(e, "r")->type_name(), "Stamp");
    EXPECT_EQ(member(e, "r")->children(), run.merged_elements->next()->children());
  });
  // 100 000 structures, each holding the next, written both ways round.
  for (const bool uses_first : {false, true}) {
    text.clear();
    for (int k = 0; k <= 100000; ++k) {
      const int i = uses_first ? 100000 - k : k;
      text += i == 0 ? std::string("struct S0 { int<0..1> v; };\n")
                     : "struct S" + std::to_string(i) + " { int<0..1> w; S" +
                           std::to_string(i - 1) + " a; };\n";
    }
    analyse(text, [&](RunContext& run) {
      const Element* last = testing::nth(run.merged_elements, uses_first ? 0 : 100000);
      const Element* s0 = testing::nth(run.merged_elements, uses_first ? 100000 : 0);
      EXPECT_EQ(last->children()->next()->type_name(), "S99999");
      EXPECT_EQ(last->children()->next()->value(), 1);
      EXPECT_EQ(s0->value(), uses_first ? 100000 : 0);
    });
  }
}

// A whole run on one definition in `dir`; returns the console output, which
// must end with the count line and agree with the status.
std::string check(const TempDir& dir, std::string_view definition, int* status = nullptr) {
  CapturedRun captured;
  const std::vector<std::string> args = {dir.write("t.tlq", definition)};
  const int result = run_program(captured.run, args, Program{false, run_back_end, nullptr});
  if (status) *status = result;
  const std::string text = captured.text();
  EXPECT_TRUE(text.ends_with(std::to_string(captured.run.errors) + " error(s), " +
                             std::to_string(captured.run.warnings) + " warning(s)\n"))
      << text;
  EXPECT_EQ(result, captured.run.errors == 0 ? 0 : 1);
  return text;
}

// Every line a run prints is a diagnostic, a direct line or the count line.
void expect_only_known_lines(const std::string& text) {
  static const std::regex known(
      "(.*\\([0-9]+\\) : (error|warning): .*|.* : (error|warning): .*|(error|warning): .*|"
      "ERROR: Unable to convert .* to numerical value|Warning \\(Line:.*|[0-9]+ error\\(s\\), "
      "[0-9]+ warning\\(s\\)|)");
  std::istringstream lines(text);
  for (std::string line; std::getline(lines, line);)
    EXPECT_TRUE(std::regex_match(line, known)) << line;
}

constexpr std::string_view kValidDefinition =
    "taloq module Shop;\nimport Base as B;\n"
    "struct Item { int<0..99> qty [0..1] as q; ascii<1..9 /[a-z]+/> sku; };\n"
    "union Pay { void none; float<double> amount; };\n"
    "combi Ref { const <R> lead; int<0..9> n; unquoted-ascii<2> s; };\n"
    "plug bool gift as g; into Item;\n"
    "Item items [1..*];\n";

TEST(HostileInput, EveryPrefixAndUnexpectedBytesAnywhere) {
  const TempDir dir;
  for (std::size_t length = 0; length <= kValidDefinition.size(); ++length) {
    SCOPED_TRACE(length);
    expect_only_known_lines(check(dir, kValidDefinition.substr(0, length)));
  }
  for (const char byte : {'\0', '\x80', '\xe9', '\xff'}) {
    for (std::size_t at = 0; at < kValidDefinition.size(); ++at) {
      SCOPED_TRACE(at);
      std::string text(kValidDefinition);
      text[at] = byte;
      expect_only_known_lines(check(dir, text));
    }
  }
}

TEST(HostileInput, FilesThatAreNotWhatTheirNamesPromise) {
  const TempDir dir;
  int status = -1;
  for (const std::string& config :
       std::vector<std::string>{"", std::string("\x01\xff\0module\0x\n\x7f-prefix \x80", 21)}) {
    dir.write("t.tlqcfg", config);
    EXPECT_EQ(check(dir, "int<0..1> a;", &status), "0 error(s), 0 warning(s)\n");
    EXPECT_EQ(status, 0);
  }
  std::filesystem::remove(dir.path("t.tlqcfg"));
  std::filesystem::create_directory(dir.path("t.tlqcfg"));
  EXPECT_EQ(check(dir, "int<0..1> a;", &status), "0 error(s), 0 warning(s)\n");
  std::filesystem::create_directory(dir.path("dir.tlqprj"));
  const std::vector<std::pair<std::string, std::string>> projects = {
      {dir.path("dir.tlqprj"), "Fatal Error: Unable to open Taloq project file: " +
                                   dir.path("dir.tlqprj") + "\n1 error(s), 0 warning(s)\n"},
      {dir.write("empty.tlqprj", ""), "0 error(s), 0 warning(s)\n"},
      // The first line reads as an empty path; the second names no file.
      {dir.write("junk.tlqprj", std::string("\0\xff\n\xfe\xff\n", 6)),
       "error: Unable to open file: \nerror: Unable to open file: \xfe\xff\n"
       "2 error(s), 0 warning(s)\n"}};
  for (const auto& [project, output] : projects) {
    CapturedRun captured;
    const std::vector<std::string> args = {project};
    run_program(captured.run, args, Program{false, run_back_end, nullptr});
    EXPECT_EQ(captured.text(), output);
  }
}

TEST(HostileInput, ReferenceCyclesOfEveryLength) {
  for (int length = 1; length <= 12; ++length) {
    SCOPED_TRACE(length);
    // Links round a cycle never reach a definition: each is reported once.
    CapturedRun links;
    std::string text;
    for (int i = 0; i < length; ++i) {
      text += "L" + std::to_string((i + 1) % length) + " L" + std::to_string(i) + ";\n";
    }
    load_text(links, text);
    EXPECT_EQ(run_analysis(links.run), 0);
    for (int i = 0; i < length; ++i) {
      const std::regex line("t\\.tlq\\(" + std::to_string(i + 1) +
                            "\\) : error: Unable to expand definition of -L[0-9]+- in -L" +
                            std::to_string(i) + "-\n\n");
      EXPECT_TRUE(std::regex_search(links.text(), line)) << links.text();
    }
    EXPECT_EQ(links.run.errors, length);
    // Structures round a cycle are a clean model: only the member that closes
    // the cycle on the walk from the first one is marked recursive.
    text.clear();
    for (int i = 0; i < length; ++i) {
      text += "struct S" + std::to_string(i) + " { S" + std::to_string((i + 1) % length) +
              " next; };\n";
    }
    analyse(text, [&](RunContext& run) {
      int marked = 0;
      for (Element* s = run.merged_elements; s != nullptr; s = s->next()) {
        marked += s->children()->recursive() ? 1 : 0;
      }
      EXPECT_EQ(marked, 1);
      EXPECT_TRUE(testing::nth(run.merged_elements, length - 1)->children()->recursive());
    });
  }
}

}  // namespace
}  // namespace taloq
