// Inputs that are deep or long: no call-stack overflow, no hang, and the
// nesting limit of bodies.

#include <gtest/gtest.h>

#include <string>

#include "driver/run_context.h"
#include "parse/block_parser.h"
#include "source/source_file.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::CapturedRun;
using testing::error_at;
using testing::load_text;
using testing::nth;
using testing::parse_top_level;
using testing::TextSource;

std::string repeat(std::string_view piece, int count) {
  std::string text;
  text.reserve(piece.size() * static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) text += piece;
  return text;
}

int count_of(const std::string& text, std::string_view line) {
  int count = 0;
  for (std::size_t at = text.find(line); at != std::string::npos; at = text.find(line, at + 1)) {
    ++count;
  }
  return count;
}

int body_depth(Element* element) {
  int depth = 0;
  for (; element != nullptr; element = element->children()) ++depth;
  return depth;
}

TEST(Nesting, ThousandBodiesAreParsed) {
  TextSource source(repeat("struct s {\n", 1000) + "bool b;" + repeat("};", 1000));
  EXPECT_EQ(parse_top_level(source), "");
  EXPECT_EQ(body_depth(source.module->elements), 1001);
  EXPECT_EQ(source.ctx.depth, 0);
}

TEST(Nesting, TheBody1001DeepIsReportedAndSkipped) {
  TextSource source(repeat("struct s {\n", 1001) + "bool b; { } junk [ ;" + repeat("};", 1001) +
                    "\nbool after;");
  EXPECT_EQ(parse_top_level(source), error_at(1001, "Nesting of bodies exceeds 1000 levels"));
  EXPECT_EQ(body_depth(source.module->elements), 1001);
  // The skipped body ended at its matching '}', the element was completed and
  // everything after it was parsed as usual.
  ASSERT_NE(source.module->elements->next(), nullptr);
  EXPECT_EQ(source.module->elements->next()->name(), "after");
  EXPECT_EQ(source.ctx.errors, 1);
}

TEST(Nesting, HundredThousandOpenBodies) {
  CapturedRun captured;
  const std::string output = load_text(captured, repeat("struct s {\n", 100000));
  EXPECT_EQ(count_of(output, "Nesting of bodies exceeds 1000 levels"), 1);
  EXPECT_NE(output.find("t.tlq(1001) : error: Nesting"), std::string::npos);
  // The innermost block ends at end of file, then every enclosing element
  // meets it once more.
  EXPECT_EQ(count_of(output, "t.tlq(100001) : error: Encountered premature end of file\n"), 1001);
  EXPECT_EQ(captured.run.errors, 1002);
  ASSERT_EQ(captured.run.modules.size(), 1u);
  EXPECT_EQ(body_depth(captured.run.modules[0]->elements), 1001);
}

TEST(Nesting, HundredThousandBracesAtStatementStarts) {
  TextSource source(repeat("{", 100000));
  const std::string output = parse_top_level(source);
  EXPECT_EQ(count_of(output, "error: Illegal reference name: {\n"), 100000);
  EXPECT_EQ(source.ctx.errors, 100000);
}

TEST(Nesting, HundredThousandNestedPlugs) {
  TextSource source(repeat("plug\n", 100000));
  const std::string output = parse_top_level(source);
  EXPECT_EQ(count_of(output, "Nesting of bodies exceeds 1000 levels"), 1);
  EXPECT_NE(output.find("t.tlq(1001) : error: Nesting"), std::string::npos);
  EXPECT_EQ(source.ctx.depth, 0);
  EXPECT_EQ(source.ctx.plug_depth, 0);
}

TEST(Nesting, PlugsAndBodiesShareTheLimit) {
  TextSource source(repeat("struct s { plug ", 600) + "bool b as b; " + repeat("} };", 600) +
                    "\nbool after;");
  const std::string output = parse_top_level(source);
  EXPECT_EQ(count_of(output, "error: Nesting of bodies exceeds 1000 levels\n"), 1);
  EXPECT_EQ(source.ctx.depth, 0);
}

TEST(LongInput, TenMegabyteLine) {
  const std::size_t size = 10 * 1024 * 1024;
  {
    // One line of white space and a comment.
    CapturedRun captured;
    const std::string output = load_text(captured, "bool a;" + std::string(size, ' ') + "/*" +
                                                       std::string(size, 'c') + "*/ bool b;");
    EXPECT_EQ(output, "");
    EXPECT_EQ(nth(captured.run.modules[0]->elements, 1)->name(), "b");
  }
  {
    // A word of 10 MB: pieces of 128 characters, each refused as a name.
    CapturedRun captured;
    const std::string output = load_text(captured, "bool " + std::string(size, 'w') + ";");
    EXPECT_EQ(count_of(output, "Identifier name exceeds 63 characters"),
              static_cast<int>(size / 128));
  }
  {
    // A const expression of 10 MB is held while it is read and reported.
    CapturedRun captured;
    const std::string output = load_text(captured, "const <" + std::string(size, 'e') + "> k;");
    EXPECT_EQ(output, error_at(1, "Const name exceeds 63 characters: " + std::string(size, 'e')));
  }
  {
    // A pattern of 10 MB keeps its first 255 characters.
    CapturedRun captured;
    const std::string output = load_text(captured, "ascii</" + std::string(size, 'p') + "/> s;");
    EXPECT_EQ(output, "");
    EXPECT_EQ(captured.run.modules[0]->elements->pattern().size(), 255u);
  }
}

}  // namespace
}  // namespace taloq
