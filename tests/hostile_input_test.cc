// Inputs meant to break a checker: huge tokens, deep comment nesting, bytes
// it does not expect anywhere, files cut short, odd line ends, and files
// that are not what their names promise. Each must end with the right
// diagnostics and never crash, hang or touch memory it does not own.

#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "driver/checker.h"
#include "driver/run_context.h"
#include "analysis/pipeline.h"
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

std::string error_line(std::string_view message, int line = 1) {
  return "t.tlq(" + std::to_string(line) + ") : error: " + std::string(message) + "\n";
}

constexpr std::size_t kMegabyte = 1 << 20;

TEST(HostileInput, DeeplyNestedBlockComments) {
  CapturedRun captured;
  const std::string text =
      repeat("/* ", 100000) + "deep" + repeat(" */", 100000) + "\nint<0..1> a;";
  EXPECT_EQ(load_text(captured, text), "");
  ASSERT_EQ(captured.run.modules.size(), 1u);
  EXPECT_EQ(captured.run.modules[0]->elements->name(), "a");
  EXPECT_EQ(captured.run.modules[0]->elements->line(), 2);
}

TEST(HostileInput, MegabyteTag) {
  CapturedRun captured;
  // A raw word ends after 128 characters; each piece is a tag too long.
  const std::string piece(128, 't');
  const std::string output = load_text(captured, "bool x as " + std::string(kMegabyte, 't') + ";");
  const std::string too_long = error_line("Identifier name exceeds 63 characters: " + piece);
  EXPECT_EQ(output, repeat(too_long, kMegabyte / 128) + error_line("Illegal tag format"));
}

TEST(HostileInput, MegabyteName) {
  CapturedRun captured;
  const std::string piece(128, 'n');
  const std::string output = load_text(captured, "bool " + std::string(kMegabyte, 'n') + ";");
  EXPECT_EQ(output,
            repeat(error_line("Identifier name exceeds 63 characters: " + piece), kMegabyte / 128) +
                error_line("Invalid format for an identifier: ;") +
                error_line("Encountered premature end of file"));
}

TEST(HostileInput, MegabyteNumberPatternAndConstant) {
  CapturedRun captured;
  EXPECT_EQ(load_text(captured, "int<0.." + std::string(kMegabyte, '9') + "> x;"),
            error_line("Invalid type constraint"));

  CapturedRun pattern_run;
  EXPECT_EQ(load_text(pattern_run, "ascii<1..2 /" + std::string(kMegabyte, 'p') + "/> s;"), "");
  EXPECT_EQ(pattern_run.run.modules[0]->elements->pattern(), std::string(255, 'p'));

  CapturedRun const_run;
  const std::string expression(kMegabyte, 'c');
  EXPECT_EQ(load_text(const_run, "const <" + expression + "> k;"),
            error_line("Const name exceeds 63 characters: " + expression));
}

TEST(HostileInput, TenMegabyteLine) {
  CapturedRun captured;
  const std::string line = repeat("int<0..1> a; ", 10 * kMegabyte / 13);
  EXPECT_EQ(load_text(captured, line), "");
  EXPECT_EQ(captured.run.element_count, static_cast<int>(10 * kMegabyte / 13));
}

TEST(HostileInput, LineEnds) {
  CapturedRun crlf;
  EXPECT_EQ(load_text(crlf, "int x;\r\nint y;\r\n"),
            error_line("Integer 'x' missing constraint", 1) +
                error_line("Integer 'y' missing constraint", 2));
  CapturedRun lone_cr;
  EXPECT_EQ(load_text(lone_cr, "int x;\rint y;\r"),
            error_line("Integer 'x' missing constraint", 1) +
                error_line("Integer 'y' missing constraint", 1));
}

TEST(HostileInput, TenThousandModulesInOneFile) {
  CapturedRun captured;
  std::string text;
  for (int i = 0; i < 10000; ++i) {
    text += "module M" + std::to_string(i) + "; int<0..1> a; endmodule;\n";
  }
  EXPECT_EQ(load_text(captured, text), "");
  ASSERT_EQ(captured.run.modules.size(), 10000u);
  EXPECT_EQ(captured.run.modules.back()->name, "M9999");
}

// A whole run on one definition; returns the console output.
std::string check(const TempDir& dir, std::string_view definition, int* status = nullptr) {
  CapturedRun captured;
  const std::vector<std::string> args = {dir.write("t.tlq", definition)};
  const int result = run_program(captured.run, args, Program{false, run_back_end, nullptr});
  if (status) *status = result;
  // Whatever happened, the run ended with its count line and a status that
  // agrees with it.
  const std::string count = std::to_string(captured.run.errors) + " error(s), " +
                            std::to_string(captured.run.warnings) + " warning(s)\n";
  const std::string text = captured.text();
  EXPECT_TRUE(text.ends_with(count)) << text;
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
  for (std::string line; std::getline(lines, line);) {
    EXPECT_TRUE(std::regex_match(line, known)) << line;
  }
}

constexpr std::string_view kValidDefinition =
    "taloq module Shop;\nimport Base as B;\n"
    "struct Item { int<0..99> qty [0..1] as q; ascii<1..9 /[a-z]+/> sku; };\n"
    "union Pay { void none; float<double> amount; };\n"
    "combi Ref { const <R> lead; int<0..9> n; unquoted-ascii<2> s; };\n"
    "plug bool gift as g; into Item;\n"
    "Item items [1..*];\n";

TEST(HostileInput, EveryPrefixOfAValidDefinitionEnds) {
  const TempDir dir;
  const std::size_t limit = std::min<std::size_t>(200, kValidDefinition.size());
  for (std::size_t length = 0; length <= limit; ++length) {
    SCOPED_TRACE(length);
    expect_only_known_lines(check(dir, kValidDefinition.substr(0, length)));
  }
}

TEST(HostileInput, UnexpectedBytesAnywhere) {
  const TempDir dir;
  for (const char byte : {'\0', '\x80', '\xe9', '\xff'}) {
    for (std::size_t at = 0; at < kValidDefinition.size(); ++at) {
      SCOPED_TRACE(at);
      std::string text(kValidDefinition);
      text[at] = byte;
      expect_only_known_lines(check(dir, text));
    }
  }
}

TEST(HostileInput, UnexpectedBytesInTextsEndOrBreakThem) {
  CapturedRun captured;
  // A NUL ends the text of the raw word it stands in (which still reads up
  // to the ';'); a byte above 127 belongs to no class.
  EXPECT_EQ(load_text(captured, std::string("module Ab\0cd;\nbool n\xe9;", 22)),
            error_line("Unexpected token: \xe9", 2));
  EXPECT_EQ(captured.run.modules[0]->name, "Ab");
}

TEST(HostileInput, FilesThatAreNotWhatTheirNamesPromise) {
  const TempDir dir;
  std::filesystem::create_directory(dir.path("t.tlqcfg"));
  int status = -1;
  EXPECT_EQ(check(dir, "int<0..1> a;", &status), "0 error(s), 0 warning(s)\n");
  EXPECT_EQ(status, 0);

  const TempDir empty_config;
  empty_config.write("t.tlqcfg", "");
  EXPECT_EQ(check(empty_config, "int<0..1> a;", &status), "0 error(s), 0 warning(s)\n");

  const TempDir binary;
  binary.write("t.tlqcfg", std::string("\x01\xff\0module\0x\n\x7f-prefix \x80", 21));
  EXPECT_EQ(check(binary, "int<0..1> a;", &status), "0 error(s), 0 warning(s)\n");

  const TempDir project;
  std::filesystem::create_directory(project.path("dir.tlqprj"));
  CapturedRun captured;
  const std::vector<std::string> args = {project.path("dir.tlqprj")};
  EXPECT_EQ(run_program(captured.run, args, Program{false, run_back_end, nullptr}), 1);
  EXPECT_EQ(captured.text(), "Fatal Error: Unable to open Taloq project file: " + args[0] +
                                 "\n1 error(s), 0 warning(s)\n");

  CapturedRun empty_project;
  const std::vector<std::string> empty = {project.write("empty.tlqprj", "")};
  EXPECT_EQ(run_program(empty_project.run, empty, Program{false, run_back_end, nullptr}), 0);
  EXPECT_EQ(empty_project.text(), "0 error(s), 0 warning(s)\n");

  CapturedRun binary_project;
  const std::vector<std::string> junk = {
      project.write("junk.tlqprj", std::string("\0\xff\n\xfe\xff\n", 6))};
  EXPECT_EQ(run_program(binary_project.run, junk, Program{false, run_back_end, nullptr}), 1);
  // The first line reads as an empty path; the second names a file that
  // does not exist.
  EXPECT_EQ(binary_project.text(),
            "error: Unable to open file: \nerror: Unable to open file: \xfe\xff\n"
            "2 error(s), 0 warning(s)\n");
}

TEST(HostileInput, ReferenceCyclesOfEveryLength) {
  for (int length = 1; length <= 12; ++length) {
    SCOPED_TRACE(length);
    // Link elements that name each other round a cycle never reach a
    // definition: each is reported once, and the run ends.
    CapturedRun links;
    std::string text;
    for (int i = 0; i < length; ++i) {
      text += "L" + std::to_string((i + 1) % length) + " L" + std::to_string(i) + ";\n";
    }
    load_text(links, text);
    EXPECT_EQ(run_analysis(links.run), 0);
    const std::string output = links.text();
    for (int i = 0; i < length; ++i) {
      const std::regex line("t\\.tlq\\(" + std::to_string(i + 1) +
                            "\\) : error: Unable to expand definition of -L[0-9]+- in -L" +
                            std::to_string(i) + "-\n\n");
      EXPECT_TRUE(std::regex_search(output, line)) << output;
    }
    EXPECT_EQ(links.run.errors, length);

    // Structures that contain each other round a cycle are a clean model:
    // the member that closes the cycle on the walk from the first one is
    // marked recursive, and no other.
    CapturedRun structs;
    text.clear();
    for (int i = 0; i < length; ++i) {
      text += "struct S" + std::to_string(i) + " { S" + std::to_string((i + 1) % length) +
              " next; };\n";
    }
    EXPECT_EQ(load_text(structs, text), "");
    EXPECT_EQ(run_analysis(structs.run), 1);
    int marked = 0;
    for (Element* s = structs.run.merged_elements; s != nullptr; s = s->next()) {
      marked += s->children()->recursive() ? 1 : 0;
    }
    EXPECT_EQ(marked, 1);
    EXPECT_TRUE(testing::nth(structs.run.merged_elements, length - 1)->children()->recursive());
  }
}

TEST(HostileInput, SharingThatWouldExplodeAWalk) {
  // The doubling definition: 2^40 paths through shared bodies.
  CapturedRun doubling;
  std::string text = "struct S0 { bool b; };\n";
  for (int i = 1; i <= 40; ++i) {
    text += "struct S" + std::to_string(i) + " { S" + std::to_string(i - 1) + " a; S" +
            std::to_string(i - 1) + " b; };\n";
  }
  EXPECT_EQ(load_text(doubling, text), "");
  EXPECT_EQ(run_analysis(doubling.run), 1);
  EXPECT_EQ(testing::nth(doubling.run.merged_elements, 40)->type_name(), "S40");

  // A chain of 100 000 references, each structure holding the next.
  CapturedRun chain;
  text.clear();
  for (int i = 0; i < 100000; ++i) {
    text += "struct S" + std::to_string(i) + " { S" + std::to_string(i + 1) + " n; };\n";
  }
  text += "struct S100000 { bool b; };\n";
  EXPECT_EQ(load_text(chain, text), "");
  EXPECT_EQ(run_analysis(chain.run), 1);

  // A plug whose copy lands inside its own shared body: the naming walk ends
  // at the over-long name, a fatal stop.
  const TempDir dir;
  CapturedRun self_plug;
  const std::vector<std::string> args = {dir.write("t.tlq",
                                                   "module M;\nstruct T { bool a; };\n"
                                                   "plug struct s { bool x; }; into T.s, T;\n")};
  EXPECT_EQ(run_program(self_plug.run, args, Program{false, run_back_end, nullptr}), 1);
  EXPECT_TRUE(self_plug.text().starts_with("FATAL: Constructed type name is too long: T_s_s"))
      << self_plug.text();
  EXPECT_EQ(self_plug.text().find("error(s)"), std::string::npos);
}

}  // namespace
}  // namespace taloq
