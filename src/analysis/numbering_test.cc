#include "analysis/numbering.h"

#include <gtest/gtest.h>

#include "analysis/pipeline.h"
#include "analysis/test_model.h"

namespace taloq::testing {
namespace {

TEST(NumberElements, TopLevelOfAllModulesIsOneSequence) {
  Model model;
  model.load("taloq module A;\nint<0..1> a1;\nint<0..1> a2;\nint<0..1> a3;\n", "a.tlq");
  model.load("taloq module B;\nint<0..1> b1;\nint<0..1> b2;\nint<0..1> b3;\n", "b.tlq");
  EXPECT_EQ(run_analysis(model.run()), 1);
  int expected = 0;
  for (Element* e = model.run().merged_elements; e != nullptr; e = e->next()) {
    EXPECT_EQ(e->value(), expected++) << e->name();
  }
  EXPECT_EQ(expected, 6);
}

TEST(NumberElements, PluginMembersCountFromPluginBase) {
  Model model;
  model.load(
      "taloq module A;\nstruct S { int<0..1> m1; int<0..1> m2 plugin; int<0..1> m3;"
      " int<0..1> m4 plugin; };\n",
      "a.tlq");
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(model.at("S").value(), 0);
  EXPECT_EQ(model.at("S.m1").value(), 0);
  EXPECT_EQ(model.at("S.m2").value(), 1000000000);
  EXPECT_EQ(model.at("S.m3").value(), 1);
  EXPECT_EQ(model.at("S.m4").value(), 1000000001);
}

TEST(NumberElements, SetValueResetsItsCounter) {
  Model model;
  model.load("taloq module A;\nint<0..1> a;\nint<0..1> b;\nint<0..1> c;\n", "a.tlq");
  model.at("b").set_value(7);
  model.run().plugin_base = 50;
  number_elements(model.run(), model.module(0).elements);
  EXPECT_EQ(model.at("a").value(), 0);
  EXPECT_EQ(model.at("b").value(), 7);
  EXPECT_EQ(model.at("c").value(), 8);
}

TEST(NumberElements, SharedBodiesNumberedAlikeAndRecursiveNotEntered) {
  Model model;
  model.load(
      "taloq module A;\n"
      "struct Node { int<0..1> val; Node next; };\n"
      "struct Use { int<0..1> u; Node n; };\n",
      "a.tlq");
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(model.at("Node.val").value(), 0);
  EXPECT_EQ(model.at("Node.next").value(), 1);
  EXPECT_EQ(model.at("Use.n").value(), 1);
  EXPECT_TRUE(model.at("Node.next").recursive());
}

TEST(AvoidKeywordClash, RenamesWithDirectWarningLine) {
  Model model;
  model.load(
      "taloq module A;\n\n\n\n\n\n\n\n\n\n\n"
      "int<0..1> class;\n"
      "int<0..1> Class;\n"
      "int<0..1> in-line;\n"
      "struct S { int<0..1> union; };\n",
      "a.tlq");
  model.mark_loaded();
  EXPECT_EQ(run_analysis(model.run()), 1);
  EXPECT_EQ(model.printed(),
            "Warning (Line:12): Changed name 'class' to 'class_' to avoid C/C++ keyword name "
            "clash\n"
            "Warning (Line:15): Changed name 'union' to 'union_' to avoid C/C++ keyword name "
            "clash\n");
  EXPECT_EQ(model.at("class").c_name(), "class_");
  EXPECT_EQ(model.at("class").name(), "class");
  EXPECT_EQ(model.at("class").tag(), "class");
  EXPECT_EQ(model.at("class").type_name(), "class_");
  EXPECT_EQ(model.at("Class").c_name(), "Class");
  EXPECT_EQ(model.at("in-line").c_name(), "in_line");
  EXPECT_EQ(model.at("S.union").type_name(), "S_union_");
  EXPECT_EQ(model.run().warnings, 0);
}

TEST(AvoidKeywordClash, EveryReservedWordAndOnlyOnce) {
  CapturedRun captured;
  Element& element = testing::scratch_element();
  element.set_line(3);
  int renamed = 0;
  for (const char* word :
       {"asm",      "auto",      "break",  "case",     "char",    "const",     "continue",
        "default",  "do",        "double", "else",     "enum",    "extern",    "float",
        "for",      "goto",      "if",     "int",      "long",    "register",  "return",
        "short",    "signed",    "sizeof", "static",   "struct",  "switch",    "typedef",
        "union",    "unsigned",  "void",   "volatile", "while",   "cdecl",     "far",
        "huge",     "interrupt", "near",   "pascal",   "catch",   "class",     "delete",
        "friend",   "inline",    "new",    "operator", "private", "protected", "public",
        "template", "throw",     "try",    "virtual"}) {
    element.set_c_name(Text::borrow(word));
    avoid_keyword_clash(captured.run, element);
    avoid_keyword_clash(captured.run, element);
    renamed += element.c_name() == std::string(word) + "_";
  }
  EXPECT_EQ(renamed, 53);
  element.set_c_name("bool");
  avoid_keyword_clash(captured.run, element);
  EXPECT_EQ(element.c_name(), "bool");
}

}  // namespace
}  // namespace taloq::testing
