#include "analysis/recursion.h"

#include <gtest/gtest.h>

#include "analysis/links.h"
#include "analysis/merge.h"
#include "analysis/plugs.h"
#include "analysis/test_model.h"

namespace taloq::testing {
namespace {

// Loads, expands, resolves and merges, ready for the marks.
struct MarkModel : Model {
  void prepare() {
    expand_plugs(run());
    resolve_all_links(run());
    merge_elements(run());
    ASSERT_EQ(run().errors, 0) << captured.text();
  }
  void mark() { mark_recursion(run().merged_elements); }
};

int count_marks(MarkModel& model) {
  int marks = 0;
  for (const Element& element : model.run().element_store) marks += element.recursive() ? 1 : 0;
  return marks;
}

TEST(MarkRecursion, SelfReferenceIsMarked) {
  MarkModel model;
  model.load("taloq module M;\nstruct Node { int<0..1> val; Node next; };\n", "m.tlq");
  model.prepare();
  model.mark();
  EXPECT_TRUE(model.at("Node.next").recursive());
  EXPECT_EQ(count_marks(model), 1);
  EXPECT_FALSE(model.at("Node").recursive());
}

TEST(MarkRecursion, MutualReferenceMarkedWhereTheCycleCloses) {
  MarkModel model;
  model.load("taloq module M;\nstruct A { B b; };\nstruct B { A a; };\n", "m.tlq");
  model.prepare();
  model.mark();
  EXPECT_FALSE(model.at("A.b").recursive());
  EXPECT_TRUE(model.at("B.a").recursive());
  EXPECT_EQ(count_marks(model), 1);
}

TEST(MarkRecursion, LaterCycleMarksFromItsFirstTopLevel) {
  MarkModel model;
  model.load(
      "taloq module M;\n"
      "struct Root { A a; };\n"
      "struct A { B b; };\n"
      "struct B { C c; };\n"
      "struct C { A a; B b; };\n",
      "m.tlq");
  model.prepare();
  model.mark();
  // From Root: path Root A B C; C.a closes at A, C.b at B.
  EXPECT_EQ(count_marks(model), 2);
  EXPECT_TRUE(model.at("C.a").recursive());
  EXPECT_TRUE(model.at("C.b").recursive());
  EXPECT_FALSE(model.at("A.b").recursive());
  EXPECT_FALSE(model.at("B.c").recursive());
}

TEST(MarkRecursion, MarkSetOnAnEarlierPathStopsLaterDescents) {
  MarkModel model;
  model.load(
      "taloq module M;\n"
      "struct X { Y y1; Y y2; };\n"
      "struct Y { X x; Y self; };\n",
      "m.tlq");
  model.prepare();
  model.mark();
  EXPECT_TRUE(model.at("Y.x").recursive());
  EXPECT_TRUE(model.at("Y.self").recursive());
  EXPECT_FALSE(model.at("X.y1").recursive());
  EXPECT_FALSE(model.at("X.y2").recursive());
  EXPECT_EQ(count_marks(model), 2);
}

TEST(MarkRecursion, SharedAcyclicBodiesGetNoMarks) {
  MarkModel model;
  model.load(
      "taloq module M;\n"
      "struct S0 { int<0..1> v; };\n"
      "struct S1 { S0 a; S0 b; };\n"
      "struct S2 { S1 a; S1 b; };\n",
      "m.tlq");
  model.prepare();
  model.mark();
  EXPECT_EQ(count_marks(model), 0);
}

TEST(MarkRecursion, PlugCopyInsideItsOwnBodyIsMarked) {
  MarkModel model;
  model.load("taloq module Core;\nstruct T { int<0..1> a; };\n", "core.tlq");
  model.load(
      "taloq module Ext;\nplug struct s as s { int<0..1> x; }; into Core::T.s, Core::T;\n"
      "int<0..1> keep;\n",
      "ext.tlq");
  model.prepare();
  model.mark();
  Element& copy = model.at("T.s");
  EXPECT_FALSE(copy.recursive());
  EXPECT_TRUE(copy.children()->next()->recursive());  // the copy inside the body
  EXPECT_EQ(count_marks(model), 1);
}

}  // namespace
}  // namespace taloq::testing
