#include "source/config_file.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "driver/run_context.h"
#include "source/source_file.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::CapturedRun;
using testing::nth;
using testing::TempDir;

constexpr std::string_view kTwoModules =
    "module A;\n"
    "struct rec { bool field; struct inner { bool deep; }; };\n"
    "bool flag;\n"
    "endmodule;\n"
    "module B;\n"
    "bool other;\n";

// A source with its configuration file in a directory of its own, loaded
// into a captured run.
struct Configured {
  Configured(std::string_view source, std::string_view config, std::string_view other_source = {}) {
    path = dir.write("s.tlq", source);
    dir.write("s.tlqcfg", config);
    if (!other_source.empty()) {
      other_path = dir.write("o.tlq", other_source);
      load_source_file(captured.run, other_path);
    }
    load_source_file(captured.run, path);
    output = captured.text();
  }
  // The diagnostic line of the configuration file at `line`.
  std::string at(int line, std::string_view tag, std::string_view message) const {
    return path + "cfg(" + std::to_string(line) + ") : " + std::string(tag) + ": " +
           std::string(message) + "\n";
  }
  ModuleRecord& module(std::size_t index) { return *captured.run.modules.at(index); }
  Element* item(std::size_t index, std::string_view item_path) {
    return find_item(&module(index), item_path);
  }

  TempDir dir;
  CapturedRun captured;
  std::string path;
  std::string other_path;
  std::string output;
};

TEST(ConfigFile, CommentsAndEmptyLinesChangeNothing) {
  Configured c(kTwoModules, "# comment\n\n   \t\n  #x list\n#\r\n");
  EXPECT_EQ(c.output, "");
  EXPECT_FALSE(c.module(0).prefix.has_value());
  EXPECT_FALSE(c.item(0, "flag")->list());
}

TEST(ConfigFile, ItemsAndPrefixBeforeAnyModuleLineApplyToTheFirstModule) {
  Configured c(kTwoModules, "-prefix pa\nflag list dynamic list\nrec.field dynamic\n");
  EXPECT_EQ(c.output, "");
  EXPECT_EQ(c.module(0).prefix, "pa");
  EXPECT_FALSE(c.module(1).prefix.has_value());
  EXPECT_TRUE(c.item(0, "flag")->list());
  EXPECT_TRUE(c.item(0, "flag")->dynamic());
  EXPECT_FALSE(c.item(0, "rec.field")->list());
  EXPECT_TRUE(c.item(0, "rec.field")->dynamic());
}

TEST(ConfigFile, ModuleLinesSelect) {
  Configured c(kTwoModules,
               "module B extra words\n-prefix pb\nother list\nmodule A\nrec.inner.deep list\n");
  EXPECT_EQ(c.output, "");
  EXPECT_EQ(c.module(1).prefix, "pb");
  EXPECT_TRUE(c.item(1, "other")->list());
  EXPECT_TRUE(c.item(0, "rec.inner.deep")->list());
}

TEST(ConfigFile, LineNumbersCountEveryLine) {
  Configured c(kTwoModules,
               "# one\n"
               "\n"
               "missing list\n"          // 3
               "flag\n"                  // 4
               "flag lots\n"             // 5
               "missing list dynamic\n"  // 6
               "missing bogus\n"         // 7
               "flag.x list\n"           // 8
               "rec.nothing list\n"      // 9
               "rec. list\n");           // 10: the first member of rec
  EXPECT_EQ(c.output, c.at(3, "warning", "Unable to locate item: missing") +
                          c.at(4, "warning", "Incomplete directive specification: flag") +
                          c.at(5, "warning", "Unrecognised configuration directive: lots") +
                          c.at(6, "warning", "Unable to locate item: missing") +
                          c.at(6, "warning", "Unable to locate item: missing") +
                          c.at(7, "warning", "Unable to locate item: missing") +
                          c.at(8, "warning", "Unable to locate item: flag.x") +
                          c.at(9, "warning", "Unable to locate item: rec.nothing"));
  EXPECT_EQ(c.captured.run.warnings, 8);
  EXPECT_EQ(c.captured.run.errors, 0);
  EXPECT_TRUE(c.item(0, "rec.field")->list());
}

TEST(ConfigFile, UnknownModuleStopsTheFile) {
  Configured c(kTwoModules, "flag list\nmodule Z\nrec dynamic\nmodule B\n", "module Z; bool z;");
  EXPECT_EQ(c.output, c.at(2, "error", "Unable to locate module: Z"));
  EXPECT_EQ(c.captured.run.errors, 1);
  // Lines before it stay applied, lines after it are not read.
  EXPECT_TRUE(c.item(1, "flag")->list());
  EXPECT_FALSE(c.item(1, "rec")->dynamic());
}

TEST(ConfigFile, ModuleLineWithoutAName) {
  Configured c(kTwoModules, "module\nflag list\n");
  EXPECT_EQ(c.output, c.at(1, "error", "Unable to locate module: "));
  EXPECT_FALSE(c.item(0, "flag")->list());
}

TEST(ConfigFile, ModuleIsAlwaysAModuleLine) {
  Configured c("bool module;", "module list\n");
  EXPECT_EQ(c.output, c.at(1, "error", "Unable to locate module: list"));
}

TEST(ConfigFile, IgnoredLinesAndPrefixWords) {
  Configured c(kTwoModules,
               "-prefix p1\n"
               "-prefix 9x\n"
               "-prefix\n"
               "-prefix _x\n"
               "-prefixx p2\n"
               "9flag list\n"
               "_flag list\n"
               "+flag list\n"
               "-flag list\n"
               ". list\n"
               "-prefix p3 p4\n");
  EXPECT_EQ(c.output, "");
  EXPECT_EQ(c.module(0).prefix, "p3");
}

TEST(ConfigFile, WordsAreSplitAtBlanksTabsAndCarriageReturns) {
  Configured c(kTwoModules, "\t flag\t\tlist \r\nrec\r\n-prefix\tpt\r\n");
  EXPECT_EQ(c.output, c.at(2, "warning", "Incomplete directive specification: rec"));
  EXPECT_TRUE(c.item(0, "flag")->list());
  EXPECT_EQ(c.module(0).prefix, "pt");
}

TEST(ConfigFile, LinesAreReadWholeAndEndAtANul) {
  const std::string long_name(400, 'q');
  Configured c("bool " + std::string(60, 'q') + ";", long_name + " list\n" +
                                                         std::string("flagx list\0 dynamic\n", 20) +
                                                         "x" + std::string(300, ' ') + "bogus\n");
  EXPECT_EQ(c.output, c.at(1, "warning", "Unable to locate item: " + long_name) +
                          c.at(2, "warning", "Unable to locate item: flagx") +
                          c.at(3, "warning", "Unable to locate item: x"));
}

TEST(ConfigFile, WithoutModulesItemsWarnAndPrefixesAreIgnored) {
  Configured c("module Empty;", "-prefix p\nflag list dynamic\nmodule Empty\nflag list\n");
  EXPECT_EQ(c.output, c.at(2, "warning", "Unable to locate item: flag") +
                          c.at(2, "warning", "Unable to locate item: flag") +
                          c.at(3, "error", "Unable to locate module: Empty"));
  EXPECT_TRUE(c.captured.run.modules.empty());
}

TEST(ConfigFile, MissingOrUnreadableConfigurationIsNoError) {
  TempDir dir;
  const std::string path = dir.write("s.tlq", "bool a;");
  CapturedRun captured;
  load_source_file(captured.run, path);
  EXPECT_EQ(captured.text(), "");
  std::filesystem::create_directory(path + "cfg");
  CapturedRun directory;
  load_source_file(directory.run, path);
  EXPECT_EQ(directory.text(), "");
  EXPECT_EQ(directory.run.errors + directory.run.warnings, 0);
}

TEST(ConfigFile, TheFirstModuleOfThisSourceIsSelected) {
  // The other source's module comes first in the run's list.
  Configured c("module S; bool flag;", "flag list\n", "module O; bool flag;");
  EXPECT_EQ(c.output, "");
  EXPECT_FALSE(c.item(0, "flag")->list());
  EXPECT_TRUE(c.item(1, "flag")->list());
}

TEST(FindItem, WalksNamesAndChildren) {
  CapturedRun captured;
  load_source_text(captured.run, "t.tlq", kTwoModules);
  const ModuleRecord* module = captured.run.modules[0];
  EXPECT_EQ(find_item(module, "rec"), module->elements);
  EXPECT_EQ(find_item(module, "flag"), module->elements->next());
  EXPECT_EQ(find_item(module, "rec.inner.deep")->name(), "deep");
  EXPECT_EQ(find_item(module, "rec.inner")->name(), "inner");
  EXPECT_EQ(find_item(module, "Rec"), nullptr);
  EXPECT_EQ(find_item(module, "rec.deep"), nullptr);
  EXPECT_EQ(find_item(module, "flag.x"), nullptr);
  EXPECT_EQ(find_item(module, "rec..field"), nullptr);
  EXPECT_EQ(find_item(module, "rec.")->name(), "field");
  EXPECT_EQ(find_item(module, ""), module->elements);
  EXPECT_EQ(find_item(nullptr, "rec"), nullptr);
}

TEST(ApplyDirective, FlagsAndWarnings) {
  CapturedRun captured;
  load_source_text(captured.run, "t.tlq", kTwoModules);
  ConfigState state;
  state.run = &captured.run;
  state.file_name = "c.cfg";
  state.line = 4;
  state.selected = captured.run.modules[1];
  apply_directive(state, "other", "dynamic");
  EXPECT_TRUE(captured.run.modules[1]->elements->dynamic());
  EXPECT_FALSE(captured.run.modules[1]->elements->list());
  apply_directive(state, "other", "List");
  apply_directive(state, "flag", "list");
  EXPECT_EQ(captured.text(),
            "c.cfg(4) : warning: Unrecognised configuration directive: List\n"
            "c.cfg(4) : warning: Unable to locate item: flag\n");
  EXPECT_EQ(captured.run.warnings, 2);
}

}  // namespace
}  // namespace taloq
