// Models whose shared bodies are reached along exponentially many paths, or
// whose references nest very deeply. Each must be analysed completely with
// the same results as the plain walks would give; how long they take is
// measured elsewhere.

#include <gtest/gtest.h>

#include "analysis/pipeline.h"
#include "analysis/test_model.h"

namespace taloq::testing {
namespace {

// struct S0 { ... }; struct S1 { S0 a; S0 b; }; ... : the body of S0 is
// reached along 2^levels paths from the last structure.
std::string doubling_text(int levels) {
  std::string text = "taloq module D;\nstruct S0 { int<0..1> v; };\n";
  for (int i = 1; i <= levels; ++i) {
    const std::string below = "S" + std::to_string(i - 1);
    text += "struct S" + std::to_string(i) + " { " + below + " a; " + below + " b; };\n";
  }
  return text;
}

TEST(LargeModels, FortyLevelDoubling) {
  Model model;
  model.load(doubling_text(40), "d.tlq");
  model.mark_loaded();
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(model.printed(), "");
  EXPECT_EQ(model.at("S40.b").type_name(), "S39");
  EXPECT_EQ(model.at("S40.b").value(), 1);
  EXPECT_EQ(model.at("S0.v").type_name(), "S0_v");
  EXPECT_EQ(model.at("S39").ref_count(), 2);
  for (const Element& element : model.run().element_store) EXPECT_FALSE(element.recursive());
}

// Thirty plug extensions, each copying its structure twice into the body
// that the previous one copied: the last body lies under 2^30 paths. Every
// shared body holds a reference that is read in the target's module.
std::string plug_chain_text(int levels) {
  std::string text = "taloq module Ext;\n";
  std::string target = "Core::T";
  for (int i = 1; i <= levels; ++i) {
    const std::string c = "c" + std::to_string(i);
    text += "plug struct " + c + " as " + c + " { int<0..1> v; Stamp r; }; into " + target + ", " +
            target + ";\n";
    target += "." + c;
  }
  return text + "int<0..1> keep;\n";
}

TEST(LargeModels, ThirtyPlugExtensionsIntoPreviousCopies) {
  Model model;
  model.load("taloq module Core;\nstruct T { int<0..1> t; };\nstruct Stamp { int<0..1> s; };\n",
             "core.tlq");
  model.load(plug_chain_text(30), "ext.tlq");
  model.mark_loaded();
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(model.printed(), "");
  std::string path = "T";
  std::string name = "T";
  for (int i = 1; i <= 30; ++i) {
    path += ".c" + std::to_string(i);
    name += "_c" + std::to_string(i);
  }
  EXPECT_EQ(model.at(path).type_name(), name);
  EXPECT_EQ(model.at(path + ".v").type_name(), name + "_v");
  EXPECT_EQ(model.at(path + ".v").value(), 0);
  EXPECT_EQ(model.at(path + ".r").type_name(), "Stamp");
  EXPECT_EQ(model.at(path + ".r").children(), model.at("Stamp").children());
  EXPECT_EQ(model.at("T.c1").value(), 1);
  EXPECT_EQ(model.at("T.c1").next()->value(), 2);
}

// struct S1 { S0 a; }; struct S2 { S1 a; }; ...: numbering follows every
// reference down to S0, 100000 bodies deep.
std::string reference_chain_text(int length, bool uses_first) {
  std::string text = "taloq module C;\n";
  auto definition = [](int i) {
    if (i == 0) return std::string("struct S0 { int<0..1> v; };\n");
    return "struct S" + std::to_string(i) + " { int<0..1> w; S" + std::to_string(i - 1) +
           " a; };\n";
  };
  for (int i = 0; i <= length; ++i) text += definition(uses_first ? length - i : i);
  return text;
}

void expect_reference_chain(bool uses_first) {
  constexpr int kLength = 100000;
  Model model;
  model.load(reference_chain_text(kLength, uses_first), "c.tlq");
  model.mark_loaded();
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(model.printed(), "");
  Element& last = model.at("S" + std::to_string(kLength));
  EXPECT_EQ(last.children()->next()->type_name(), "S" + std::to_string(kLength - 1));
  EXPECT_EQ(last.children()->next()->value(), 1);
  EXPECT_EQ(model.at("S0.v").value(), 0);
  EXPECT_EQ(model.at("S0").value(), uses_first ? kLength : 0);
}

TEST(LargeModels, HundredThousandReferencesDefinitionsFirst) {
  expect_reference_chain(false);
}

TEST(LargeModels, HundredThousandReferencesUsesFirst) {
  expect_reference_chain(true);
}

}  // namespace
}  // namespace taloq::testing
