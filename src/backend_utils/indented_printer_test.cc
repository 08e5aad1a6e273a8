#include "backend_utils/indented_printer.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "backend_utils/print_switch.h"
#include "test_support.h"

namespace taloq {
namespace {

// A run whose printer writes to a string; the print switch is on for each
// test and is switched on again afterwards.
class IndentedPrinter : public ::testing::Test {
 protected:
  IndentedPrinter() {
    set_print_enable(1);
    captured.run.output = &output;
  }
  ~IndentedPrinter() override { set_print_enable(1); }

  RunContext& run() { return captured.run; }

  testing::CapturedRun captured;
  std::ostringstream output;
};

TEST_F(IndentedPrinter, BracesIndentTheLinesInside) {
  print_indented(run(), "a {\nb;\n}\n");
  EXPECT_EQ(output.str(),
            "a     {\n"
            "    b;\n"
            "    }\n");
  EXPECT_EQ(run().indent_depth, 0);
  EXPECT_EQ(run().column, 0);
  EXPECT_EQ(run().errors, 0);
  EXPECT_EQ(captured.text(), "");
}

TEST_F(IndentedPrinter, DepthCarriesOverFromCallToCall) {
  print_indented(run(), "s {\n");
  EXPECT_EQ(run().indent_depth, 1);
  print_indented(run(), "t {\n");
  print_indented(run(), "x;\n");
  print_indented(run(), "}\n}\n");
  EXPECT_EQ(output.str(),
            "s     {\n"
            "    t     {\n"
            "        x;\n"
            "        }\n"
            "    }\n");
  EXPECT_EQ(run().indent_depth, 0);
}

TEST_F(IndentedPrinter, FormatsItsArguments) {
  print_indented(run(), "%s=%d;%c", "width", 16, 'x');
  EXPECT_EQ(output.str(), "width=16;x");
  EXPECT_EQ(run().column, 10);
}

TEST_F(IndentedPrinter, TabsPadToMultiplesOfTwentyColumns) {
  print_indented(run(), "%s\t\t|", std::string(25, 'c').c_str());
  // The first tab writes one blank (column 26), the second pads to 40.
  EXPECT_EQ(output.str(), std::string(25, 'c') + std::string(15, ' ') + "|");
  EXPECT_EQ(run().column, 41);
  EXPECT_EQ(run().tab_count, 2);
}

TEST_F(IndentedPrinter, TabAlwaysWritesAtLeastOneBlank) {
  print_indented(run(), "%s\t|", std::string(20, 'c').c_str());
  EXPECT_EQ(output.str(), std::string(20, 'c') + " |");
  print_indented(run(), "\t|");
  EXPECT_EQ(output.str(), std::string(20, 'c') + " |" + std::string(18, ' ') + "|");
  EXPECT_EQ(run().column, 41);
}

TEST_F(IndentedPrinter, TabColumnsStartAfterTheIndentation) {
  print_indented(run(), "{\n\tx");
  EXPECT_EQ(output.str(), "    {\n    " + std::string(20, ' ') + "x");
  EXPECT_EQ(run().column, 21);
}

TEST_F(IndentedPrinter, NewlineResetsColumnAndTabs) {
  print_indented(run(), "ab\tc\n");
  EXPECT_EQ(run().column, 0);
  EXPECT_EQ(run().tab_count, 0);
  print_indented(run(), "\tx");
  EXPECT_EQ(output.str(), "ab" + std::string(18, ' ') + "c\n" + std::string(20, ' ') + "x");
}

TEST_F(IndentedPrinter, OpenBraceIsCountedButItsBlanksAreNot) {
  print_indented(run(), "{");
  EXPECT_EQ(output.str(), "    {");
  EXPECT_EQ(run().column, 1);
  EXPECT_EQ(run().indent_depth, 1);
}

TEST_F(IndentedPrinter, LoneClosingBraceIsOneCountedProblem) {
  print_indented(run(), "}");
  EXPECT_EQ(captured.text(), "Problem with brace nesting depth encountered\n");
  EXPECT_EQ(run().errors, 1);
  EXPECT_EQ(run().warnings, 0);
  EXPECT_EQ(run().indent_depth, 0);
  EXPECT_EQ(output.str(), "}");
  EXPECT_EQ(run().column, 1);
}

TEST_F(IndentedPrinter, EveryExtraClosingBraceIsCounted) {
  print_indented(run(), "{}}}");
  EXPECT_EQ(run().errors, 2);
  EXPECT_EQ(run().indent_depth, 0);
  EXPECT_EQ(output.str(), "    {}}}");
}

TEST_F(IndentedPrinter, BraceProblemFollowsTheTextBeforeIt) {
  // With the printer on the console, the message stands where the brace is.
  run().output = &captured.console;
  print_indented(run(), "x}y");
  EXPECT_EQ(captured.text(), "xProblem with brace nesting depth encountered\n}y");
}

TEST_F(IndentedPrinter, SwitchedOffWritesNothingAndKeepsTheState) {
  run().indent_depth = 2;
  run().column = 7;
  run().tab_count = 1;
  EXPECT_EQ(set_print_enable(0), 0);
  EXPECT_EQ(get_print_enable(), 0);
  print_indented(run(), "a {\n}\t}}}\n");
  EXPECT_EQ(output.str(), "");
  EXPECT_EQ(captured.text(), "");
  EXPECT_EQ(run().indent_depth, 2);
  EXPECT_EQ(run().column, 7);
  EXPECT_EQ(run().tab_count, 1);
  EXPECT_EQ(run().errors, 0);
  EXPECT_EQ(set_print_enable(1), 1);
  print_indented(run(), "b");
  EXPECT_EQ(output.str(), "b");
}

TEST_F(IndentedPrinter, SwitchStoresAnyValue) {
  EXPECT_EQ(get_print_enable(), 1);
  EXPECT_EQ(set_print_enable(5), 5);
  EXPECT_EQ(get_print_enable(), 5);
  print_indented(run(), "on");
  EXPECT_EQ(output.str(), "on");
}

TEST_F(IndentedPrinter, WithoutOutputTheStateStillFollowsTheText) {
  run().output = nullptr;
  print_indented(run(), "a {\nbc");
  EXPECT_EQ(run().indent_depth, 1);
  EXPECT_EQ(run().column, 2);
  print_indented(run(), "}}");
  EXPECT_EQ(run().errors, 1);
}

TEST_F(IndentedPrinter, LongTextIsWrittenWhole) {
  const std::string text(5000, 'x');
  print_indented(run(), "%s", text.c_str());
  EXPECT_EQ(output.str(), text);
  EXPECT_EQ(run().column, 5000);
}

}  // namespace
}  // namespace taloq
