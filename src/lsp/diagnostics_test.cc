#include "lsp/diagnostics.h"

#include <gtest/gtest.h>

#include <vector>

#include "driver/diagnostics.h"
#include "driver/run_observer.h"

namespace taloq::lsp {
namespace {

TEST(ProblemFromPrinted, KeepsSeveritiesAndMakesTheRenamingNoticeInformation) {
  struct Case {
    int severity;
    const char* message;
    int expected;
  };
  const std::vector<Case> cases = {
      {SEV_ERROR, "Unexpected token: x", 1},
      {SEV_WARNING, "Unable to locate item: Order.missing", 2},
      {7, "any other code warns", 2},
      {SEV_FATAL, "Unable to allocate memory", 1},
      {kPrintedAsItStands, "Warning (Line:2): Changed name 'class' to 'class_' to avoid C/C++ "
                           "keyword name clash\n", 3},
      {kPrintedAsItStands, "ERROR: Unable to convert 40b to numerical value\n", 1},
      {kPrintedAsItStands, "FATAL: Constructed type name is too long: a_b\n", 1},
  };
  for (const Case& c : cases) {
    const Problem problem = problem_from_printed({"shop.tlq", 4, c.severity, c.message, ""});
    EXPECT_EQ(problem.severity, c.expected) << c.message;
    EXPECT_FALSE(problem.message.ends_with('\n')) << c.message;
    EXPECT_EQ(problem.file, "shop.tlq");
    EXPECT_EQ(problem.line, 4);
  }
}

TEST(LineRange, SpansTheLineFromItsFirstNonBlank) {
  const LineIndex lines("module Shop;\n\t  int count;\n\xc3\xa9t\xc3\xa9 x;\n");
  struct Case {
    int line;
    std::size_t line_index;
    std::size_t start;
    std::size_t end;
  };
  const std::vector<Case> cases = {
      {1, 0, 0, 12},   // the first line
      {0, 0, 0, 12},   // no line: the first
      {2, 1, 3, 13},   // blanks and tabs before the text
      {3, 2, 0, 6},    // two characters of two bytes each
      {4, 3, 0, 0},    // the empty line after the last line feed
      {99, 3, 0, 0},   // past the end: the last line
  };
  for (const Case& c : cases) {
    const Range range = line_range(&lines, c.line, Encoding::kUtf16);
    EXPECT_EQ(range.start_line, c.line_index) << c.line;
    EXPECT_EQ(range.end_line, c.line_index) << c.line;
    EXPECT_EQ(range.start_character, c.start) << c.line;
    EXPECT_EQ(range.end_character, c.end) << c.line;
  }
  EXPECT_EQ(line_range(nullptr, 5, Encoding::kUtf16).start_line, 4u);
}

}  // namespace
}  // namespace taloq::lsp
