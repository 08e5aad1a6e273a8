#include "analysis/plugs.h"

#include <gtest/gtest.h>

#include "analysis/test_model.h"

namespace taloq::testing {
namespace {

constexpr std::string_view kCore =
    "taloq module Core;\n"
    "struct Header {\n"
    "  int<0..9> id;\n"
    "  struct trailer { int<0..1> crc; };\n"
    "  Stamp ref;\n"
    "};\n"
    "struct Empty { };\n"
    "Stamp Link;\n"
    "struct Stamp { int<0..1> t; };\n";

// Where an element stands in the order the run made them.
std::size_t creation_index(RunContext& run, const Element& element) {
  std::size_t index = 0;
  for (const Element& made : run.element_store) {
    if (&made == &element) return index;
    ++index;
  }
  return index;
}

struct PlugModel : Model {
  PlugModel() { load(kCore, "core.tlq"); }
  // The plugging module gets an element of its own at the end: a module
  // without elements takes no part in the run.
  void plug(std::string_view text) {
    load(std::string(text) + "int<0..1> keep;\n", "ext.tlq");
    mark_loaded();
    expand_plugs(run());
  }
};

TEST(ExpandPlugs, AppendsCopiesAndQualifiesPlainReferences) {
  PlugModel model;
  model.plug(
      "taloq module Ext;\n"
      "plug int<0..5> a as a; Stamp b as b; Lib::Stamp c as c; into Core::Header;\n"
      "struct Stamp { int<0..1> s; };\n");
  Element& header = model.at("Header");
  EXPECT_EQ(names_of(header.children()), "id trailer ref a b c");
  Element& b = model.at("Header.b");
  EXPECT_EQ(b.link(), "Ext::Stamp");
  EXPECT_TRUE(b.is_copy());
  EXPECT_EQ(b.module(), &model.module(1));
  EXPECT_EQ(b.line(), 2);
  EXPECT_EQ(model.at("Header.c").link(), "Lib::Stamp");
  const PlugRecord& plug = model.module(1).plugs.front();
  EXPECT_EQ(plug.body->next()->link(), "Stamp");  // the plug body is unchanged
  EXPECT_FALSE(plug.body->is_copy());
  EXPECT_EQ(model.printed(), "");
  EXPECT_EQ(model.run().errors, 0);
}

TEST(ExpandPlugs, CopiesAreNotCountedAndCarryNoExtraRoom) {
  PlugModel model;
  const int before = model.run().element_count;
  model.plug("taloq module Ext;\nplug int<0..5> a as a; into Core::Header;\nint<0..1> k;\n");
  EXPECT_EQ(model.run().element_count, before + 3);  // the plug body, k and keep only
  EXPECT_EQ(model.at("Header.a").extra(), nullptr);
}

TEST(ExpandPlugs, DottedTargetAndTargetInOwnModule) {
  PlugModel model;
  model.plug(
      "taloq module Ext;\n"
      "struct Own { int<0..1> o; };\n"
      "plug int<0..5> a as a; into Core::Header.trailer, Own;\n");
  EXPECT_EQ(names_of(model.at("Header.trailer").children()), "crc a");
  EXPECT_EQ(names_of(model.at("Own", 1).children()), "o a");
}

TEST(ExpandPlugs, TargetsServedLastWrittenFirstAndPlugsInOrder) {
  PlugModel model;
  model.plug(
      "taloq module Ext;\n"
      "plug int<0..5> a as a; into Core::Header.trailer, Core::Header;\n"
      "plug int<0..5> b as b; into Core::Header;\n");
  EXPECT_EQ(names_of(model.at("Header").children()), "id trailer ref a b");
  // The copy appended to Header first is the one the second target reached.
  Element& header_a = model.at("Header.a");
  Element& trailer_a = model.at("Header.trailer.a");
  EXPECT_NE(&header_a, &trailer_a);
  EXPECT_LT(creation_index(model.run(), header_a), creation_index(model.run(), trailer_a));
}

TEST(ExpandPlugs, AliasesComeFromExtendsOnly) {
  PlugModel model;
  model.plug(
      "taloq module Ext;\n"
      "extends Core as C;\n"
      "import Core as I;\n"
      "plug int<0..5> a as a; into C::Header, I::Header;\n");
  EXPECT_EQ(names_of(model.at("Header").children()), "id trailer ref a");
  EXPECT_EQ(model.printed(), "ext.tlq(4) : error: Unable to locate definition -I::Header-\n\n");
}

TEST(ExpandPlugs, ReportsTargetsThatCannotTakeCopies) {
  PlugModel model;
  model.plug(
      "taloq module Ext;\n"
      "plug int<0..5> a as a;\n"
      "into Nowhere::Header, Core::Missing, Core::Header.ref.x, Core::Empty,\n"
      "  Core::Link, Core:Header;\n");
  EXPECT_EQ(model.printed(),
            "ext.tlq(4) : error: Unable to locate definition -Core:Header-\n\n"
            "ext.tlq(4) : error: Can not plug -Core::Link-.  It is not struct or union.\n\n"
            "ext.tlq(3) : error: Can not plug -Core::Empty-.  It is not struct or union.\n\n"
            "ext.tlq(3) : error: Unable to locate definition -Core::Header.ref.x-\n\n"
            "ext.tlq(3) : error: Unable to locate definition -Core::Missing-\n\n"
            "ext.tlq(3) : error: Unable to locate definition -Nowhere::Header-\n\n");
  EXPECT_EQ(model.run().errors, 6);
  EXPECT_EQ(names_of(model.at("Header").children()), "id trailer ref");
}

TEST(ExpandPlugs, UnnamedModuleReportsOncePerTarget) {
  Model named;
  named.load(kCore, "core.tlq");
  named.load(
      "plug Stamp a as a; Stamp b as b; into Core::Header, Core::Header.trailer;\n"
      "int<0..1> own;\n",
      "anon.tlq");
  named.mark_loaded();
  expand_plugs(named.run());
  EXPECT_EQ(named.printed(),
            "anon.tlq(1) : error: Module name must be included to plug 'Core::Header.trailer'\n\n"
            "anon.tlq(1) : error: Module name must be included to plug 'Core::Header'\n\n");
  EXPECT_EQ(names_of(named.at("Header").children()), "id trailer ref a b");
  EXPECT_EQ(named.at("Header.a").link(), "Stamp");
}

TEST(ExpandPlugs, NestedBodiesAreSharedAndNotQualified) {
  PlugModel model;
  model.plug(
      "taloq module Ext;\n"
      "plug struct s as s { Stamp m; }; into Core::Header, Core::Header.trailer;\n");
  Element& one = model.at("Header.s");
  Element& two = model.at("Header.trailer.s");
  EXPECT_EQ(one.children(), two.children());
  EXPECT_EQ(one.children(), model.module(1).plugs.front().body->children());
  EXPECT_EQ(one.children()->link(), "Stamp");
}

TEST(ExpandPlugs, OverlongQualifiedReferenceIsReportedAndKept) {
  const std::string module_name = "M" + std::string(127, 'm');
  const std::string reference = "R" + std::string(127, 'r');
  PlugModel model;
  model.plug("taloq module " + module_name + ";\nplug " + reference +
             " a as a; into Core::Header;\nint<0..1> k;\n");
  EXPECT_EQ(model.printed(), "ext.tlq(2) : error: Reference name exceeds 255 characters: " +
                                 module_name + "::" + reference + "\n");
  EXPECT_EQ(model.at("Header.a").link(), reference);
}

TEST(ExpandPlugs, QualifiedReferenceOfExactly255Fits) {
  const std::string module_name = "M" + std::string(125, 'm');  // 126 + 2 + 127
  const std::string reference = "R" + std::string(126, 'r');
  PlugModel model;
  model.plug("taloq module " + module_name + ";\nplug " + reference +
             " a as a; into Core::Header;\nint<0..1> k;\n");
  EXPECT_EQ(model.printed(), "");
  EXPECT_EQ(model.at("Header.a").link().size(), 255u);
}

TEST(ExpandPlugs, CopyLandingInItsOwnSharedBody) {
  PlugModel model;
  model.plug(
      "taloq module Ext;\n"
      "plug struct s as s { int<0..1> x; }; into Core::Header.s, Core::Header;\n");
  Element& s = model.at("Header.s");
  Element* body = s.children();
  EXPECT_EQ(names_of(body), "x s");
  EXPECT_EQ(body->next()->children(), body);
  EXPECT_EQ(model.printed(), "");
}

TEST(CopyPlugBody, CopiesTopLevelOnlyInOrder) {
  PlugModel model;
  EXPECT_EQ(copy_plug_body(model.run(), nullptr), nullptr);
  Element* copies = copy_plug_body(model.run(), model.at("Header").children());
  EXPECT_EQ(names_of(copies), "id trailer ref");
  EXPECT_EQ(copies->next()->children(), model.at("Header.trailer").children());
  EXPECT_TRUE(copies->is_copy() && copies->next()->is_copy() && copies->next()->next()->is_copy());
}

}  // namespace
}  // namespace taloq::testing

namespace taloq::testing {
namespace {

// Targets are looked up exactly as configuration items are: a path ending
// in "." names the first member of the last body, an empty path the first
// element of the module.
TEST(ExpandPlugs, TargetPathsReadAsItemPaths) {
  PlugModel model;
  model.plug("taloq module Ext;\nplug int<0..5> a as a; into Core::Header.trailer., Core::;\n");
  EXPECT_EQ(find_item(&model.module(0), "Header.trailer."), &model.at("Header.trailer.crc"));
  EXPECT_EQ(names_of(model.at("Header").children()), "id trailer ref a");
  EXPECT_EQ(model.printed(),
            "ext.tlq(2) : error: Can not plug -Core::Header.trailer.-.  It is not struct or "
            "union.\n\n");
}

}  // namespace
}  // namespace taloq::testing
