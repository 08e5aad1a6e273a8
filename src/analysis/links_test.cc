#include "analysis/links.h"

#include <gtest/gtest.h>

#include "analysis/plugs.h"
#include "analysis/test_model.h"

namespace taloq::testing {
namespace {

struct LinkModel : Model {
  void resolve() {
    mark_loaded();
    resolve_all_links(run());
  }
};

TEST(LocateModule, PlainNameStaysInCurrentModule) {
  Model model;
  model.load("taloq module A;\nimport B as Header;\nint<0..1> x;\n", "a.tlq");
  ModuleRecord* found = nullptr;
  std::string name;
  EXPECT_EQ(
      locate_module(model.run(), model.module(0), model.module(0).imports, found, name, "Header"),
      1);
  EXPECT_EQ(found, &model.module(0));
  EXPECT_EQ(name, "Header");
}

TEST(LocateModule, QualifiedNameWithOneAliasReplacement) {
  Model model;
  model.load("taloq module A;\nimport R as Q;\nimport S as R;\nint<0..1> x;\n", "a.tlq");
  model.load("taloq module R;\nint<0..1> r;\n", "r.tlq");
  model.load("taloq module S;\nint<0..1> s;\n", "s.tlq");
  ModuleRecord* found = nullptr;
  std::string name;
  ModuleRecord& a = model.module(0);
  EXPECT_EQ(locate_module(model.run(), a, a.imports, found, name, "Q::x::y"), 1);
  EXPECT_EQ(found, &model.module(1));  // Q -> R, not on to S
  EXPECT_EQ(name, "x");
  EXPECT_EQ(locate_module(model.run(), a, a.imports, found, name, "Nope::z"), 0);
  EXPECT_EQ(name, "z");
}

TEST(LocateModule, FirstLoadedModuleOfTheName) {
  Model model;
  model.load("taloq module A;\nint<0..1> x;\n", "one.tlq");
  model.load("taloq module A;\nint<0..1> y;\n", "two.tlq");
  ModuleRecord* found = nullptr;
  std::string name;
  EXPECT_EQ(locate_module(model.run(), model.module(1), {}, found, name, "A::y"), 1);
  EXPECT_EQ(found, &model.module(0));
}

TEST(ResolveLinks, PlainReferenceFindsOwnTopLevelOnly) {
  LinkModel model;
  model.load(
      "taloq module M;\n"
      "struct Outer { struct Inner { int<0..1> i; }; Header h; Inner n; };\n"
      "struct Header { int<0..1> a; };\n",
      "m.tlq");
  model.load("taloq module Other;\nstruct Inner { int<0..1> o; };\n", "o.tlq");
  model.resolve();
  Element& h = model.at("Outer.h");
  EXPECT_EQ(h.type(), ET_STRUCT);
  EXPECT_EQ(h.children(), model.at("Header").children());
  EXPECT_EQ(h.type_name(), "Header");
  EXPECT_EQ(h.link(), "Header");
  EXPECT_EQ(model.at("Header").ref_count(), 1);
  EXPECT_EQ(model.printed(), "m.tlq(2) : error: Unable to expand definition of -Inner- in -n-\n\n");
  EXPECT_EQ(model.at("Outer.n").type(), ET_LINK);
}

TEST(ResolveLinks, ImportedAliasesLaterStatementWins) {
  LinkModel model;
  model.load(
      "taloq module M;\n"
      "import Base.Types as BT;\n"
      "import Wrong as W;\n"
      "import Base.Types as W;\n"
      "import Base.Types;\n"
      "BT::Header a;\n"
      "W::Header b;\n"
      "Base.Types::Header c;\n",
      "m.tlq");
  model.load("taloq module Base.Types;\nstruct Header { int<0..1> x; };\n", "b.tlq");
  model.load("taloq module Wrong;\nint<0..1> Header;\n", "w.tlq");
  model.resolve();
  EXPECT_EQ(model.printed(), "");
  for (const char* name : {"a", "b", "c"}) {
    EXPECT_EQ(model.at(name).type(), ET_STRUCT) << name;
    EXPECT_EQ(model.at(name).module(), &model.module(1)) << name;
  }
}

TEST(ResolveLinks, ImportWithoutAsMakesNoAlias) {
  LinkModel model;
  model.load("taloq module M;\nimport Base;\nHeader::x a;\n", "m.tlq");
  model.load("taloq module Base;\nint<0..1> x;\n", "b.tlq");
  model.resolve();
  EXPECT_EQ(model.printed(),
            "m.tlq(3) : error: Unable to expand definition of -Header::x- in -a-\n\n");
}

TEST(ResolveLinks, ChainThroughLinkElementKeepsLastText) {
  LinkModel model;
  model.load(
      "taloq module M;\n"
      "struct Holder { L e; };\n"
      "T L;\n"
      "struct T { int<0..1> x; };\n",
      "m.tlq");
  model.resolve();
  Element& e = model.at("Holder.e");
  EXPECT_EQ(e.type(), ET_STRUCT);
  EXPECT_EQ(e.link(), "T");
  EXPECT_EQ(e.type_name(), "T");
  EXPECT_EQ(e.children(), model.at("T").children());
  // L itself is resolved where it stands, so T is referred to twice.
  EXPECT_EQ(model.at("T").ref_count(), 2);
  EXPECT_EQ(model.at("L").ref_count(), 0);
}

TEST(ResolveLinks, ScalarDefinitionClearsLink) {
  LinkModel model;
  model.load("taloq module M;\nRange e;\nint<-5..7> Range;\n", "m.tlq");
  model.resolve();
  Element& e = model.at("e");
  EXPECT_EQ(e.type(), ET_INTEGER);
  EXPECT_TRUE(e.constrained());
  EXPECT_EQ(e.min(), 5u);
  EXPECT_TRUE(e.min_negative());
  EXPECT_EQ(e.max(), 7u);
  EXPECT_TRUE(e.z_flag() == false);
  EXPECT_EQ(e.link(), "");
  EXPECT_EQ(e.name(), "e");
}

std::string chain_text(int intermediates) {
  std::string text = "taloq module M;\nL0 e;\n";
  for (int i = 0; i < intermediates; ++i) {
    text += "L" + std::to_string(i + 1) + " L" + std::to_string(i) + ";\n";
  }
  return text + "int<0..1> L" + std::to_string(intermediates) + ";\n";
}

TEST(ResolveLink, NineIntermediateLinksResolveTenFail) {
  LinkModel nine;
  nine.load(chain_text(9), "m.tlq");
  Element& e9 = nine.at("e");
  EXPECT_EQ(resolve_link(nine.run(), nine.module(0), e9), 1);
  EXPECT_EQ(e9.type(), ET_INTEGER);
  LinkModel ten;
  ten.load(chain_text(10), "m.tlq");
  Element& e10 = ten.at("e");
  EXPECT_EQ(resolve_link(ten.run(), ten.module(0), e10), 0);
  EXPECT_EQ(e10.link(), "L10");  // as far as the chain was followed
}

// A's own text is replaced by B's in the first hop, so A then names itself.
TEST(ResolveLinks, SelfAndMutualReferencesFail) {
  LinkModel model;
  model.load("taloq module M;\nSelf Self;\nB A;\nA B;\n", "m.tlq");
  model.resolve();
  EXPECT_EQ(model.printed(),
            "m.tlq(2) : error: Unable to expand definition of -Self- in -Self-\n\n"
            "m.tlq(3) : error: Unable to expand definition of -A- in -A-\n\n"
            "m.tlq(4) : error: Unable to expand definition of -A- in -B-\n\n");
}

TEST(ResolveLinks, MissingNameRetriesInReachedModule) {
  LinkModel model;
  model.load("taloq module M;\nimport N as X;\nX::gone e;\n", "m.tlq");
  model.load("taloq module N;\nint<0..1> here;\n", "n.tlq");
  model.resolve();
  EXPECT_EQ(model.printed(),
            "m.tlq(3) : error: Unable to expand definition of -X::gone- in -e-\n\n");
}

TEST(ResolveLinks, CardinalityMergeAndDuplicate) {
  LinkModel model;
  model.load(
      "taloq module M;\n"
      "L a;\n"
      "L b [2..3];\n"
      "T L [1..4];\n"
      "T c [0..*];\n"
      "struct T [5..6] { int<0..1> x; };\n",
      "m.tlq");
  model.resolve();
  Element& a = model.at("a");
  EXPECT_TRUE(a.has_cardinality());
  EXPECT_EQ(a.cardinality_min(), 1u);
  EXPECT_EQ(a.cardinality_max(), 4);
  EXPECT_EQ(model.at("b").cardinality_min(), 2u);
  EXPECT_EQ(model.printed(),
            "error: Illegal duplicate cardinality in original and target definitions of linked "
            "type T from a\n\n"
            "error: Illegal duplicate cardinality in original and target definitions of linked "
            "type L from b\n\n"
            "error: Illegal duplicate cardinality in original and target definitions of linked "
            "type T from b\n\n"
            "error: Illegal duplicate cardinality in original and target definitions of linked "
            "type T from L\n\n"
            "error: Illegal duplicate cardinality in original and target definitions of linked "
            "type T from c\n\n");
  EXPECT_EQ(model.at("c").type(), ET_STRUCT);
}

TEST(ResolveLinks, ResolvedLinkIsADefinitionForLaterReferences) {
  LinkModel before;  // Pb stands before Pa: Pa takes Pb
  before.load("taloq module M;\nPs Pb;\nPb Pa;\nstruct Ps { int<0..1> x; };\n", "m.tlq");
  before.resolve();
  EXPECT_EQ(before.at("Pa").type_name(), "Pb");
  EXPECT_EQ(before.at("Pa").link(), "Pb");
  EXPECT_EQ(before.at("Pb").ref_count(), 1);
  EXPECT_EQ(before.at("Ps").ref_count(), 1);
  LinkModel after;  // Pa stands first: the chain runs on to Ps
  after.load("taloq module M;\nPb Pa;\nPs Pb;\nstruct Ps { int<0..1> x; };\n", "m.tlq");
  after.resolve();
  EXPECT_EQ(after.at("Pa").type_name(), "Ps");
  EXPECT_EQ(after.at("Pa").link(), "Ps");
  EXPECT_EQ(after.at("Pb").ref_count(), 0);
  EXPECT_EQ(after.at("Ps").ref_count(), 2);
}

TEST(ResolveLinks, ModulesInLoadOrder) {
  LinkModel model;
  model.load("taloq module A;\nB::Mid a;\nB::Gone b;\n", "a.tlq");
  model.load("taloq module B;\nGone Mid;\n", "b.tlq");
  model.resolve();
  // a shows the text of the last link element its chain reached.
  EXPECT_EQ(model.printed(),
            "a.tlq(2) : error: Unable to expand definition of -Gone- in -a-\n\n"
            "a.tlq(3) : error: Unable to expand definition of -B::Gone- in -b-\n\n"
            "b.tlq(2) : error: Unable to expand definition of -Gone- in -Mid-\n\n");
}

TEST(ResolveLinks, PlugCopiesResolveInTargetModuleContext) {
  LinkModel model;
  model.load(
      "taloq module Core;\nstruct Header { int<0..1> id; };\nstruct Stamp { int<0..1> c; };\n",
      "core.tlq");
  model.load(
      "taloq module Ext;\n"
      "plug Stamp b as b; struct s as s { Stamp m; }; into Core::Header;\n"
      "struct Stamp { int<0..1> e; };\n",
      "ext.tlq");
  expand_plugs(model.run());
  model.resolve();
  EXPECT_EQ(model.printed(), "");
  EXPECT_EQ(model.at("Header.b").children(), model.at("Stamp", 1).children());
  // The shared member keeps its plain text and is read in Core.
  EXPECT_EQ(model.at("Header.s.m").children(), model.at("Stamp").children());
}

TEST(ResolveLinks, SharedBodyFailingLinkReportedOnEveryVisit) {
  LinkModel model;
  model.load("taloq module Core;\nstruct A { int<0..1> a; };\nstruct B { int<0..1> b; };\n",
             "core.tlq");
  model.load(
      "taloq module Ext;\n"
      "plug struct s as s { Gone m; }; into Core::A, Core::B;\n"
      "int<0..1> keep;\n",
      "ext.tlq");
  expand_plugs(model.run());
  model.resolve();
  EXPECT_EQ(model.printed(),
            "ext.tlq(2) : error: Unable to expand definition of -Gone- in -m-\n\n"
            "ext.tlq(2) : error: Unable to expand definition of -Gone- in -m-\n\n");
}

TEST(ResolveLinks, RevisitWalksIntoResolvedReferencesBody) {
  // The second visit of the shared body meets m as a structure and walks
  // the body of Late from there, in Core's context, before Late is reached.
  LinkModel model;
  model.load(
      "taloq module Core;\n"
      "struct A { int<0..1> a; };\n"
      "struct B { int<0..1> b; };\n"
      "struct Late { Gone g; };\n",
      "core.tlq");
  model.load(
      "taloq module Ext;\n"
      "plug struct s as s { Core::Late m; }; into Core::A, Core::B;\n"
      "int<0..1> keep;\n",
      "ext.tlq");
  expand_plugs(model.run());
  model.resolve();
  EXPECT_EQ(model.printed(),
            "core.tlq(4) : error: Unable to expand definition of -Gone- in -g-\n\n"
            "core.tlq(4) : error: Unable to expand definition of -Gone- in -g-\n\n");
}

TEST(ResolveLinks, BodyContainingItselfIsWalkedOnce) {
  LinkModel model;
  model.load("taloq module Core;\nstruct T { int<0..1> a; };\n", "core.tlq");
  model.load(
      "taloq module Ext;\n"
      "plug struct s as s { Gone x; }; into Core::T.s, Core::T;\n"
      "int<0..1> keep;\n",
      "ext.tlq");
  expand_plugs(model.run());
  model.resolve();
  EXPECT_EQ(model.printed(),
            "ext.tlq(2) : error: Unable to expand definition of -Gone- in -x-\n\n");
}

}  // namespace
}  // namespace taloq::testing
