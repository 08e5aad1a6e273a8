#include "analysis/type_names.h"

#include <gtest/gtest.h>

#include "driver/diagnostics.h"
#include "analysis/pipeline.h"
#include "analysis/test_model.h"

namespace taloq::testing {
namespace {

TEST(ConstructTypeNames, MembersTakeParentNames) {
  Model model;
  model.load("taloq module M;\nstruct Msg { struct hdr { int<0..1> id; }; };\n", "m.tlq");
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(model.at("Msg").type_name(), "Msg");
  EXPECT_EQ(model.at("Msg.hdr").type_name(), "Msg_hdr");
  EXPECT_EQ(model.at("Msg.hdr.id").type_name(), "Msg_hdr_id");
}

TEST(ConstructTypeNames, ReferencesKeepTheirDefinitionsName) {
  Model model;
  model.load(
      "taloq module M;\n"
      "struct Msg { Stamp when; };\n"
      "struct Stamp { int<0..1> secs; };\n"
      "Stamp Alias;\n"
      "struct Node { int<0..1> val; Node next; };\n",
      "m.tlq");
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(model.at("Msg.when").type_name(), "Stamp");
  EXPECT_EQ(model.at("Stamp.secs").type_name(), "Stamp_secs");
  EXPECT_EQ(model.at("Alias").type_name(), "Alias");  // top level: its own c_name
  EXPECT_EQ(model.at("Node.next").type_name(), "Node");
  EXPECT_EQ(model.at("Node.val").type_name(), "Node_val");
}

TEST(ConstructTypeNames, SharedMemberNamedFromLastVisit) {
  Model model;
  model.load("taloq module Core;\nstruct T1 { int<0..1> a; };\nstruct T2 { int<0..1> b; };\n",
             "core.tlq");
  model.load(
      "taloq module Ext;\nplug struct s as s { int<0..1> x; }; into Core::T2, Core::T1;\n"
      "int<0..1> keep;\n",
      "ext.tlq");
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(model.at("T1.s").type_name(), "T1_s");
  EXPECT_EQ(model.at("T2.s").type_name(), "T2_s");
  EXPECT_EQ(model.at("T1.s.x").type_name(), "T2_s_x");
}

TEST(ConstructTypeNames, LastVisitThroughNestedSharing) {
  // The body of s is reached under T1.s, T1.w.s and T2.s; the last of these
  // in walk order is T2.s, but within T1 it is T1.w.s.
  Model model;
  model.load(
      "taloq module Core;\nstruct T1 { struct w { int<0..1> i; }; };\n"
      "struct T2 { int<0..1> b; };\n",
      "core.tlq");
  model.load(
      "taloq module Ext;\nplug struct s as s { int<0..1> x; }; into Core::T2, Core::T1.w,"
      " Core::T1;\n"
      "int<0..1> keep;\n",
      "ext.tlq");
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(model.at("T1.s.x").type_name(), "T2_s_x");
  EXPECT_EQ(model.at("T1.w.s").type_name(), "T1_w_s");
}

std::string name_of_length(std::size_t length) {
  return "N" + std::string(length - 1, 'n');
}

TEST(ConstructMemberTypeNames, LongestFittingNameIs255) {
  Model model;
  model.load("taloq module M;\nstruct S { int<0..1> abcd; };\n", "m.tlq");
  model.mark_loaded();
  const std::string parent = name_of_length(250);
  construct_member_type_names(model.run(), model.at("S").children(), parent);
  EXPECT_EQ(model.at("S.abcd").type_name(), parent + "_abcd");
  EXPECT_EQ(model.at("S.abcd").type_name().size(), 255u);
  EXPECT_EQ(model.printed(), "");
}

TEST(ConstructMemberTypeNames, OneMoreIsFatal) {
  Model model;
  model.load("taloq module M;\nstruct S { int<0..1> abcde; };\n", "m.tlq");
  model.mark_loaded();
  const std::string parent = name_of_length(250);
  EXPECT_THROW(construct_member_type_names(model.run(), model.at("S").children(), parent),
               FatalStop);
  EXPECT_EQ(model.printed(), "FATAL: Constructed type name is too long: " + parent + "_abcde\n");
}

TEST(ConstructTypeNames, FirstOverlongNameInWalkOrderIsReported) {
  // Five nested structures of 52-character names: the fifth level no longer
  // fits. A stands first, so its nest is the one reported; the member ok
  // before it fits, and B would fail at the same depth.
  const std::string y50(50, 'y');
  std::string nest = "int<0..1> leaf;";
  for (int i = 0; i < 5; ++i) nest = "struct s" + std::to_string(i) + y50 + " { " + nest + " };";
  Model model;
  model.load(
      "taloq module M;\nstruct A { int<0..1> ok; " + nest + " };\nstruct B { " + nest + " };\n",
      "m.tlq");
  model.mark_loaded();
  EXPECT_THROW(run_analysis(model.run()), FatalStop);
  EXPECT_EQ(model.printed(), "FATAL: Constructed type name is too long: A_s4" + y50 + "_s3" + y50 +
                                 "_s2" + y50 + "_s1" + y50 + "_s0" + y50 + "\n");
}

TEST(ConstructTypeNames, BodyContainingItselfEndsWithFatalLine) {
  Model model;
  model.load("taloq module Core;\nstruct T { int<0..1> a; };\n", "core.tlq");
  model.load(
      "taloq module Ext;\nplug struct s as s { int<0..1> x; }; into Core::T.s, Core::T;\n"
      "int<0..1> keep;\n",
      "ext.tlq");
  model.mark_loaded();
  EXPECT_THROW(run_analysis(model.run()), FatalStop);
  std::string parent = "T_s";
  while (parent.size() + 2 <= 255) parent += "_s";
  EXPECT_EQ(model.printed(), "FATAL: Constructed type name is too long: " + parent + "_x\n");
}

}  // namespace
}  // namespace taloq::testing
