#include "driver/diagnostics.h"

#include <gtest/gtest.h>

#include "test_support.h"

namespace taloq {
namespace {

using testing::CapturedRun;
using testing::TextSource;

TEST(Diagnostics, HaveThreeShapes) {
  CapturedRun captured;
  report_at(captured.run, "lib1.tlq", 12, SEV_ERROR, "Illegal module name: %s", "9x");
  report_at(captured.run, "lib1.tlq", 0, SEV_ERROR, "no line");
  report_at(captured.run, "", 7, SEV_ERROR, "no file");
  report(captured.run, SEV_WARNING, "plain %d", 3);
  EXPECT_EQ(captured.text(),
            "lib1.tlq(12) : error: Illegal module name: 9x\n"
            "lib1.tlq : error: no line\n"
            "error: no file\n"
            "warning: plain 3\n");
  EXPECT_EQ(captured.run.errors, 3);
  EXPECT_EQ(captured.run.warnings, 1);
}

TEST(Diagnostics, AnyOtherSeverityIsAWarning) {
  CapturedRun captured;
  report(captured.run, 7, "odd");
  EXPECT_EQ(captured.text(), "warning: odd\n");
  EXPECT_EQ(captured.run.warnings, 1);
  EXPECT_EQ(captured.run.errors, 0);
}

TEST(Diagnostics, MessagesEndingInANewlineGetAnEmptyLine) {
  CapturedRun captured;
  report(captured.run, SEV_ERROR, "Text\n");
  EXPECT_EQ(captured.text(), "error: Text\n\n");
}

TEST(Diagnostics, FatalStopsTheRun) {
  CapturedRun captured;
  EXPECT_THROW(report_out_of_memory(captured.run), FatalStop);
  EXPECT_EQ(captured.text(), "FATAL error: Unable to allocate memory\n");
  EXPECT_EQ(captured.run.errors, 0);
}

TEST(Diagnostics, ParseErrorsCountInRunAndModule) {
  TextSource source("");
  source.ctx.line = 4;
  report_parse(source.ctx, SEV_ERROR, "bad %s", "x");
  report_parse(source.ctx, SEV_WARNING, "odd");
  EXPECT_EQ(source.captured.text(), "t.tlq(4) : error: bad x\nt.tlq(4) : warning: odd\n");
  EXPECT_EQ(source.captured.run.errors, 1);
  EXPECT_EQ(source.ctx.errors, 1);
}

TEST(RunContext, StartsWithItsDefaults) {
  RunContext run;
  EXPECT_EQ(run.plugin_base, 1000000000);
  EXPECT_EQ(run.base_option, 1000000000);
  EXPECT_EQ(run.flag_option_1, 1);
  EXPECT_EQ(run.flag_option_2, 1);
  EXPECT_EQ(run.name_option, &run.name_buffer);
  EXPECT_TRUE(run.name_buffer.empty());
  EXPECT_EQ(run.prefix_option_1, "ftlq_");
  EXPECT_EQ(run.prefix_option_2, "u_");
  EXPECT_EQ(run.prefix_option_3, "ttlq_");
  EXPECT_EQ(run.prefix_option_4, "ftlq_");
  EXPECT_EQ(run.prefix_option_5, "s_");
  EXPECT_TRUE(run.modules.empty());
  EXPECT_EQ(run.merged_elements, nullptr);
  EXPECT_EQ(run.types, nullptr);
  EXPECT_EQ(run.errors + run.warnings + run.element_count + run.extra_bytes, 0);
  EXPECT_EQ(run.indent_depth + run.column + run.tab_count, 0);
  EXPECT_EQ(run.output, nullptr);
  EXPECT_FALSE(run.main_source.has_value());
}

}  // namespace
}  // namespace taloq
