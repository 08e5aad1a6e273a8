#include "analysis/type_list.h"

#include <gtest/gtest.h>

#include "analysis/pipeline.h"
#include "analysis/test_model.h"

namespace taloq::testing {
namespace {

std::string type_list(const RunContext& run) {
  std::string names;
  for (const Element* entry = run.types; entry != nullptr; entry = entry->next_type()) {
    if (!names.empty()) names += ' ';
    names += entry->name() + "@" + std::to_string(entry->line());
  }
  return names;
}

TEST(BuildTypeList, FirstMemberPerCNameInWalkOrder) {
  Model model;
  model.load(
      "taloq module M;\n"
      "struct Stamp { int<0..1> t; };\n"
      "union U { int<0..1> a; Stamp s; };\n"
      "union V { int<0..1> a; int<0..1> b-c; };\n"
      "struct W { union inner { int<0..1> b_c; int<0..1> d; }; };\n",
      "m.tlq");
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(type_list(model.run()), "a@3 s@3 b-c@4 d@5");
  EXPECT_EQ(model.at("U.s").type(), ET_STRUCT);  // resolved references are members too
}

TEST(BuildTypeList, ReferencesToUnionsAreNotDescended) {
  Model model;
  model.load(
      "taloq module M;\n"
      "struct S { U ref; };\n"
      "union U { int<0..1> x; union deep { int<0..1> y; }; };\n",
      "m.tlq");
  EXPECT_EQ(run_analysis(model.run()), 1);
  // Collected where U stands, after S.
  EXPECT_EQ(type_list(model.run()), "x@3 deep@3 y@3");
}

TEST(BuildTypeList, CombinedBodiesAddNothing) {
  Model model;
  model.load("taloq module M;\ncombi C { int<0..1> x; };\nunion U { int<0..1> u; };\n", "m.tlq");
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(type_list(model.run()), "u@3");
}

TEST(BuildTypeList, PlugCopiesOfUnionsShareTheirMembers) {
  Model model;
  model.load("taloq module Core;\nstruct A { int<0..1> a; };\nstruct B { int<0..1> b; };\n",
             "core.tlq");
  model.load(
      "taloq module Ext;\nplug union u as u { int<0..1> x; }; into Core::A, Core::B;\n"
      "union Own { int<0..1> x; int<0..1> own; };\n",
      "ext.tlq");
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(type_list(model.run()), "x@2 own@3");
}

TEST(BuildTypeList, ContinuesFromGivenTail) {
  Model model;
  model.load("taloq module M;\nunion U { int<0..1> a; int<0..1> b; };\n", "m.tlq");
  Element& a = model.at("U.a");
  Element* tail = add_union_members(model.run(), nullptr, &a);
  EXPECT_EQ(tail, a.next());
  EXPECT_EQ(model.run().types, &a);
  tail = build_type_list(model.run(), tail, model.module(0).elements);
  EXPECT_EQ(type_list(model.run()), "a@2 b@2");
}

TEST(TypeListLacks, ComparesCNamesExactly) {
  Model model;
  model.load("taloq module M;\nunion U { int<0..1> Alpha; };\n", "m.tlq");
  build_type_list(model.run(), nullptr, model.module(0).elements);
  EXPECT_EQ(type_list_lacks(model.run().types, "Alpha"), 0);
  EXPECT_EQ(type_list_lacks(model.run().types, "alpha"), 1);
  EXPECT_EQ(type_list_lacks(nullptr, "Alpha"), 1);
}

}  // namespace
}  // namespace taloq::testing

namespace taloq::testing {
namespace {

TEST(BuildTypeListDeathTest, UnresolvedLinkElementIsAnInternalFault) {
  CapturedRun captured;
  Element& unresolved = captured.run.element_store.emplace_back();  // ET_LINK, no reference text
  EXPECT_DEATH(build_type_list(captured.run, nullptr, &unresolved),
               "Assertion failed: 0, file ktfpostparse, line 631\n");
}

}  // namespace
}  // namespace taloq::testing
