#include "parse/element.h"

#include <gtest/gtest.h>

#include <string>

#include "driver/run_context.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::nth;
using testing::parse_top_level;
using testing::TextSource;

TEST(CreateElement, Defaults) {
  TextSource source("");
  source.ctx.line = 7;
  const std::int32_t before = source.captured.run.element_count;
  Element* element = create_element(source.ctx);
  ASSERT_NE(element, nullptr);
  EXPECT_EQ(source.captured.run.element_count, before + 1);
  EXPECT_EQ(element->name(), kUnsetText);
  EXPECT_EQ(element->c_name(), kUnsetText);
  EXPECT_EQ(element->tag(), kUnsetText);
  EXPECT_EQ(element->type_name(), kUnsetText);
  EXPECT_EQ(element->link(), "");
  EXPECT_EQ(element->const_text(), "");
  EXPECT_TRUE(element->pattern().is_null());
  EXPECT_EQ(element->line(), 7);
  EXPECT_EQ(element->module(), source.module);
  EXPECT_EQ(element->value(), -1);
  EXPECT_FALSE(element->constrained());
  EXPECT_EQ(element->min(), 0u);
  EXPECT_EQ(element->max(), 0u);
  EXPECT_FALSE(element->min_negative());
  EXPECT_FALSE(element->max_negative());
  EXPECT_FALSE(element->has_cardinality());
  EXPECT_EQ(element->cardinality_min(), 0u);
  EXPECT_EQ(element->cardinality_max(), -1);
  EXPECT_FALSE(element->z_flag());
  EXPECT_FALSE(element->is_plugin());
  EXPECT_EQ(element->mark(), 0);
  EXPECT_FALSE(element->top_level());
  EXPECT_FALSE(element->list());
  EXPECT_FALSE(element->dynamic());
  EXPECT_EQ(element->children(), nullptr);
  EXPECT_FALSE(element->is_copy());
  EXPECT_EQ(element->next(), nullptr);
  EXPECT_EQ(element->next_type(), nullptr);
  EXPECT_FALSE(element->recursive());
  EXPECT_EQ(element->ref_count(), 0);
  EXPECT_EQ(element->extra(), nullptr);
}

TEST(CreateElement, RoomForTheBackEnd) {
  TextSource source("");
  source.captured.run.extra_bytes = 16;
  Element* element = create_element(source.ctx);
  ASSERT_NE(element->extra(), nullptr);
  element->extra()[15] = std::byte{1};  // the room is usable to its end
  EXPECT_NE(create_element(source.ctx)->extra(), element->extra());
}

TEST(CreateElement, OptionalAfterTheFirstBracketOfTheBlock) {
  TextSource source(
      "T a;\n[ T b; ]\nT c;\n"
      "struct S { T d; [ T e; ] };");
  parse_top_level(source);
  Element* list = source.module->elements;
  EXPECT_FALSE(nth(list, 0)->has_cardinality());
  EXPECT_EQ(nth(list, 0)->cardinality_max(), -1);
  for (int i : {1, 2, 3}) {
    EXPECT_TRUE(nth(list, i)->has_cardinality()) << i;
    EXPECT_EQ(nth(list, i)->cardinality_min(), 0u) << i;
    EXPECT_EQ(nth(list, i)->cardinality_max(), 1) << i;
  }
  // The body of S, which stands after the brackets, starts from its own
  // block's state.
  Element* body = nth(list, 3)->children();
  EXPECT_FALSE(nth(body, 0)->has_cardinality());
  EXPECT_TRUE(nth(body, 1)->has_cardinality());
  EXPECT_EQ(nth(body, 1)->cardinality_max(), 1);
  // An element's own cardinality overrides the default.
  TextSource own("[ T a [2..5]; T b [+]; ]");
  parse_top_level(own);
  EXPECT_EQ(own.module->elements->cardinality_max(), 5);
  EXPECT_EQ(own.module->elements->next()->cardinality_min(), 0u);
  EXPECT_EQ(own.module->elements->next()->cardinality_max(), -1);
}

TEST(CreateElement, LineOfTheFirstToken) {
  TextSource source("\n\nT\n  a;\nbool// comment\nb;\nbool /* c */ c;");
  parse_top_level(source);
  EXPECT_EQ(nth(source.module->elements, 0)->line(), 3);
  // The comment directly after the first token has consumed its newline.
  EXPECT_EQ(nth(source.module->elements, 1)->line(), 6);
  EXPECT_EQ(nth(source.module->elements, 2)->line(), 7);
  EXPECT_EQ(source.captured.run.element_count, 3);
}

TEST(CreateElement, LinkedAtItsFirstTokenEvenWhenItFails) {
  TextSource source("int<1> {");
  parse_top_level(source);
  Element* first = source.module->elements;
  EXPECT_EQ(first->type(), ET_INTEGER);
  EXPECT_TRUE(first->constrained());
  EXPECT_EQ(first->name(), kUnsetText);
}

}  // namespace
}  // namespace taloq
