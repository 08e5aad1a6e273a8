#include "analysis/release.h"

#include <gtest/gtest.h>

#include "driver/diagnostics.h"
#include "analysis/pipeline.h"
#include "analysis/test_model.h"

namespace taloq::testing {
namespace {

TEST(ReleaseModel, EachOwnedElementOnceSharedBodiesThroughOwner) {
  Model model;
  model.load(
      "taloq module Core;\n"
      "struct Header { int<0..1> id; };\n"    // 2 elements
      "struct Stamp { int<0..1> t; };\n"      // 2
      "struct Use { Stamp s; Stamp r; };\n",  // 3; s and r share Stamp's body
      "core.tlq");
  model.load(
      "taloq module Ext;\n"
      "plug struct p as p { int<0..1> x; int<0..1> y; }; into Core::Header, Core::Use;\n"
      "int<0..1> keep;\n",  // 1; the plug body (3) is released through no list
      "ext.tlq");
  ASSERT_EQ(run_analysis(model.run()), 1);
  // Two copies of p join the bodies of Header and Use; their shared body is
  // the plug body's and is not released through them.
  EXPECT_EQ(release_elements(model.run().merged_elements), 2u + 2u + 3u + 1u + 2u);
  release_model(model.run());
  EXPECT_EQ(model.run().merged_elements, nullptr);
  EXPECT_EQ(model.run().types, nullptr);
}

TEST(ReleaseModel, NothingWhenTheMergeDidNotRun) {
  Model model;
  model.load("taloq module M;\nGone g;\nint<0..1> k;\n", "m.tlq");
  EXPECT_EQ(run_analysis(model.run()), 0);
  EXPECT_EQ(model.run().merged_elements, nullptr);
  EXPECT_EQ(release_elements(model.run().merged_elements), 0u);
  release_model(model.run());
}

TEST(ReleaseModel, BodyContainingItselfIsReleasedOnce) {
  Model model;
  model.load("taloq module Core;\nstruct T { int<0..1> a; };\nint<0..1> k;\n", "core.tlq");
  model.load(
      "taloq module Ext;\nplug struct s as s { int<0..1> x; }; into Core::T.s, Core::T;\n"
      "int<0..1> keep;\n",
      "ext.tlq");
  // The naming pass stops the run; the lists are released all the same.
  EXPECT_THROW(run_analysis(model.run()), FatalStop);
  EXPECT_EQ(release_elements(model.run().merged_elements), 2u + 1u + 1u + 1u);
}

}  // namespace
}  // namespace taloq::testing
