#include "driver/front_end_notes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace taloq {
namespace {

using testing::CapturedRun;
using testing::load_text;

std::vector<int> lines_of(const std::vector<NotedText>& notes) {
  std::vector<int> lines;
  for (const NotedText& note : notes) lines.push_back(note.line);
  return lines;
}

// What the front end lets pass is noted at the line it stands on, and the
// checker's output stays as it was.
TEST(FrontEndNotes, NumbersAtTheLargestBoundAndOpenBrackets) {
  CapturedRun captured;
  const std::string output = load_text(captured,
                                       "struct S {\n"
                                       "  int<0..4294967295> a;\n"
                                       "  int<1..\n"
                                       "      5000000000> b;\n"
                                       "  [\n"
                                       "  bool c;\n"
                                       "};\n"
                                       "struct T { [ bool d; ] };\n"
                                       "int<0..4294967294> e;\n");
  EXPECT_EQ(output, "");
  const FrontEndNotes& notes = captured.run.notes;
  EXPECT_EQ(lines_of(notes.numbers_at_maximum), (std::vector<int>{2, 4}));
  EXPECT_EQ(notes.numbers_at_maximum.at(1).text, "5000000000");
  EXPECT_EQ(lines_of(notes.open_brackets), (std::vector<int>{5}));
  ASSERT_EQ(notes.sources.size(), 1u);
  EXPECT_EQ(notes.sources[0].modules, 1u);
}

TEST(FrontEndNotes, DroppedModulesKeepTheLinesOfTheirPlugsAndImports) {
  CapturedRun captured;
  load_text(captured,
            "module Kept; bool x;\n"
            "endmodule;\n"
            "module Plugs;\n"
            "import Kept as K;\n"
            "plug bool y as y; into Kept::x;\n"
            "endmodule;\n");  // and an empty module after it, not noted
  const FrontEndNotes& notes = captured.run.notes;
  ASSERT_EQ(notes.dropped_modules.size(), 1u);
  const ModuleRecord& dropped = notes.dropped_modules[0];
  EXPECT_EQ(dropped.name, "Plugs");
  ASSERT_EQ(dropped.plugs.size(), 1u);
  EXPECT_EQ(dropped.plugs[0].line, 5);
  EXPECT_EQ(dropped.plugs[0].body, nullptr);
  ASSERT_EQ(dropped.imports.size(), 1u);
  EXPECT_EQ(dropped.imports[0].line, 4);
  EXPECT_EQ(notes.sources.at(0).modules, 1u);
}

}  // namespace
}  // namespace taloq
