#include "analysis/merge.h"

#include <gtest/gtest.h>

#include "analysis/test_model.h"

namespace taloq::testing {
namespace {

TEST(MergeElements, ChainsModulesInLoadOrder) {
  Model model;
  model.load(
      "taloq module A;\nint<0..1> a1;\nint<0..1> a2;\nendmodule;\n"
      "taloq module B;\nint<0..1> b1;\n",
      "ab.tlq");
  model.load("taloq module C;\nint<0..1> c1;\nint<0..1> c2;\n", "c.tlq");
  merge_elements(model.run());
  EXPECT_EQ(model.run().merged_elements, model.module(0).elements);
  EXPECT_EQ(names_of(model.run().merged_elements), "a1 a2 b1 c1 c2");
  EXPECT_EQ(names_of(model.module(1).elements), "b1 c1 c2");  // runs on
}

TEST(MergeElements, SkipsModuleWithoutElements) {
  Model model;
  model.load("taloq module A;\nint<0..1> a;\n", "a.tlq");
  ModuleRecord& empty = model.run().module_store.emplace_back();
  model.run().modules.push_back(&empty);
  model.load("taloq module C;\nint<0..1> c;\n", "c.tlq");
  merge_elements(model.run());
  EXPECT_EQ(names_of(model.run().merged_elements), "a c");
}

}  // namespace
}  // namespace taloq::testing
