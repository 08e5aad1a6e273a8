#include "analysis/prefixes.h"

#include <gtest/gtest.h>

#include "analysis/pipeline.h"
#include "analysis/test_model.h"

namespace taloq::testing {
namespace {

std::string module_text(std::string_view name, std::string_view first = "int<0..1> a;") {
  std::string text;
  if (!name.empty()) text = "taloq module " + std::string(name) + ";\n";
  return text + std::string(first) + "\n";
}

std::string stem_of_name(std::string_view name) {
  Model model;
  model.load(module_text(name));
  std::string stem = "untouched";
  EXPECT_EQ(prefix_from_module_name(model.run(), model.module(0), stem), 1);
  return stem;
}

std::string stem_of_element(std::string_view element_name) {
  Model model;
  model.load(module_text("", "int<0..1> " + std::string(element_name) + ";"));
  std::string stem;
  EXPECT_EQ(prefix_from_first_element(model.run(), model.module(0), stem), 1);
  return stem;
}

// Derives the prefixes of modules with the given names, one file each.
std::vector<std::string> prefixes_of(const std::vector<std::string>& names) {
  Model model;
  for (std::size_t i = 0; i < names.size(); ++i) {
    model.load(module_text(names[i]), "m" + std::to_string(i) + ".tlq");
  }
  derive_prefixes(model.run());
  std::vector<std::string> prefixes;
  for (ModuleRecord* module : model.run().modules) prefixes.push_back(module->prefix.value_or("-"));
  return prefixes;
}

TEST(ModuleNameStem, TakesFirstCharacterDottedInitialsAndDigits) {
  EXPECT_EQ(stem_of_name("org.acme.Trade2"), "oaT2");
  EXPECT_EQ(stem_of_name("Messages"), "M");
  EXPECT_EQ(stem_of_name("V1.2"), "V12");
  EXPECT_EQ(stem_of_name("a-b_c.d9x.7"), "ad97");
}

TEST(ModuleNameStem, PlusBecomesUnderscore) {
  EXPECT_EQ(stem_of_name("+base.types"), "_bt");
  EXPECT_EQ(stem_of_name("+"), "_");
  EXPECT_EQ(stem_of_name("+3d"), "_3");
}

TEST(ModuleNameStem, UnnamedModuleGivesNothing) {
  Model model;
  model.load(module_text(""));
  std::string stem = "kept";
  EXPECT_EQ(prefix_from_module_name(model.run(), model.module(0), stem), 0);
  EXPECT_EQ(stem, "kept");
}

TEST(FirstElementStem, DropsLowerCaseVowelsInsideWords) {
  EXPECT_EQ(stem_of_element("message_header"), "mssg");
  EXPECT_EQ(stem_of_element("x_item"), "xitm");
  EXPECT_EQ(stem_of_element("Order_item"), "Ordr");
  EXPECT_EQ(stem_of_element("AEIOU"), "AEIO");
  EXPECT_EQ(stem_of_element("a1b2c3"), "a1b2");
  EXPECT_EQ(stem_of_element("ab"), "ab");
  EXPECT_EQ(stem_of_element("in-out"), "inot");
}

TEST(FirstElementStem, ModuleWithoutElementsGivesNothing) {
  CapturedRun captured;
  ModuleRecord empty;
  std::string stem = "kept";
  EXPECT_EQ(prefix_from_first_element(captured.run, empty, stem), 0);
  EXPECT_EQ(stem, "kept");
}

TEST(DerivePrefixes, NumbersCollidingStems) {
  EXPECT_EQ(prefixes_of({"Alpha.beta", "Alpha.bravo", "Ant.bee"}),
            (std::vector<std::string>{"Ab_", "Ab2_", "Ab3_"}));
  EXPECT_EQ(prefixes_of({"org.acme.Trade2", "+base.types", "+"}),
            (std::vector<std::string>{"oaT2_", "_bt_", "__"}));
}

TEST(DerivePrefixes, EarlierPrefixWithDigitsCountsForShorterStem) {
  EXPECT_EQ(prefixes_of({"A.b2", "A.b"}), (std::vector<std::string>{"Ab2_", "Ab2_"}));
  EXPECT_EQ(prefixes_of({"A.b12", "A.b", "A.b1"}),
            (std::vector<std::string>{"Ab12_", "Ab2_", "Ab12_"}));
}

TEST(DerivePrefixes, OnlyStemDigitsUnderscoreCollides) {
  Model model;
  const char* configured[] = {"Abc_", "Ab", "Ab__", "Ab12_", "Ab1x_"};
  for (int i = 0; i < 5; ++i) {
    model.load(module_text("Q" + std::to_string(i)), "c" + std::to_string(i) + ".tlq");
    model.module(i).prefix = configured[i];
  }
  model.load(module_text("A.b"), "last.tlq");
  derive_prefixes(model.run());
  EXPECT_EQ(model.module(5).prefix, "Ab2_");  // only Ab12_ collides
  EXPECT_EQ(model.module(1).prefix, "Ab");    // configured prefixes stay
}

TEST(DerivePrefixes, LaterConfiguredPrefixDoesNotCount) {
  Model model;
  model.load(module_text("A.b"), "one.tlq");
  model.load(module_text("Other"), "two.tlq");
  model.module(1).prefix = "Ab_";
  derive_prefixes(model.run());
  EXPECT_EQ(model.module(0).prefix, "Ab_");
  EXPECT_EQ(model.module(1).prefix, "Ab_");
}

TEST(DerivePrefixes, UnnamedModuleUsesFirstElement) {
  Model model;
  model.load(module_text("", "int<0..1> message_header;"), "one.tlq");
  model.load(module_text("", "int<0..1> message_id;"), "two.tlq");
  derive_prefixes(model.run());
  EXPECT_EQ(model.module(0).prefix, "mssg_");
  EXPECT_EQ(model.module(1).prefix, "mssg2_");
}

TEST(DerivePrefixes, ModuleWithNeitherNameNorElementIsAnError) {
  CapturedRun captured;
  ModuleRecord& empty = captured.run.module_store.emplace_back();
  empty.path = "lost.tlq";
  captured.run.modules.push_back(&empty);
  derive_prefixes(captured.run);
  EXPECT_EQ(captured.text(),
            "error: Error: Unable to derive prefix for module contained in: lost.tlq\n\n");
  EXPECT_EQ(captured.run.errors, 1);
  EXPECT_TRUE(empty.prefix.has_value());
}

TEST(MarkTopLevel, MarksOnlyTheMainModulesTopLevel) {
  Model model;
  model.load("taloq module A;\nstruct s { int<0..1> x; };\nint<0..1> y;\n", "a.tlq");
  model.load("taloq module B;\nint<0..1> z;\nplug int<0..1> p as p; into A::s;\n", "b.tlq");
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_FALSE(model.at("s.p").top_level());
  EXPECT_TRUE(model.at("s").top_level());
  EXPECT_TRUE(model.at("y").top_level());
  EXPECT_FALSE(model.at("s.x").top_level());
  EXPECT_FALSE(model.at("z", 1).top_level());
}

TEST(RunAnalysis, NoModulesRunsNothing) {
  CapturedRun captured;
  EXPECT_EQ(run_analysis(captured.run), 0);
  EXPECT_EQ(captured.text(), "");
}

TEST(RunAnalysis, EarlierErrorStopsEveryStep) {
  Model model;
  model.load("taloq module A;\nint<0..1> y;\n");
  ++model.run().errors;  // as a configuration file error would
  EXPECT_EQ(run_analysis(model.run()), 0);
  EXPECT_FALSE(model.at("y").top_level());
  EXPECT_FALSE(model.module(0).prefix.has_value());
  EXPECT_EQ(model.run().merged_elements, nullptr);
}

TEST(RunAnalysis, StepWithErrorsCompletesThenStops) {
  Model model;
  model.load("taloq module A;\nBad one;\nAlso two;\nstruct s { int<0..1> x; };\n");
  EXPECT_EQ(run_analysis(model.run()), 0);
  EXPECT_EQ(model.run().errors, 2);
  EXPECT_EQ(model.run().merged_elements, nullptr);  // merge did not run
  EXPECT_EQ(model.at("s.x").value(), -1);
}

}  // namespace
}  // namespace taloq::testing
