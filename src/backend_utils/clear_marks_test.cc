#include "backend_utils/clear_marks.h"

#include <gtest/gtest.h>

#include <deque>

#include "parse/element.h"

namespace taloq {
namespace {

// Elements that stay at their addresses, chained as the test says.
struct Model {
  Element& add(std::int32_t type = ET_INTEGER) {
    Element& element = store.emplace_back();
    element.set_type(type);
    element.set_mark(7);
    return element;
  }
  ElementStore store;
};

TEST(ClearMarks, ListAndBodies) {
  Model model;
  Element& a = model.add(ET_STRUCT);
  Element& b = model.add();
  Element& a1 = model.add(ET_UNION);
  Element& a11 = model.add();
  a.set_next(&b);
  a.set_children(&a1);
  a1.set_children(&a11);
  clear_marks(&a);
  for (const Element& element : model.store) EXPECT_EQ(element.mark(), 0);
}

TEST(ClearMarks, SharedBodyThroughAReference) {
  Model model;
  Element& holder = model.add(ET_STRUCT);
  Element& reference = model.add(ET_STRUCT);
  Element& member = model.add();
  reference.set_link("Elsewhere");
  reference.set_children(&member);
  holder.set_children(&reference);
  clear_marks(&holder);
  EXPECT_EQ(member.mark(), 0);
}

TEST(ClearMarks, NotThroughARecursiveElement) {
  Model model;
  Element& top = model.add(ET_STRUCT);
  Element& recursive = model.add(ET_STRUCT);
  Element& beyond = model.add();
  top.set_children(&recursive);
  recursive.set_recursive(true);
  recursive.set_children(&beyond);
  clear_marks(&top);
  EXPECT_EQ(top.mark(), 0);
  EXPECT_EQ(recursive.mark(), 0);
  EXPECT_EQ(beyond.mark(), 7);
}

TEST(ClearMarks, OnlyFromTheGivenElementOn) {
  Model model;
  Element& first = model.add();
  Element& second = model.add();
  first.set_next(&second);
  clear_marks(&second);
  EXPECT_EQ(first.mark(), 7);
  EXPECT_EQ(second.mark(), 0);
}

TEST(ClearMarks, BodyThatContainsItselfEnds) {
  Model model;
  Element& top = model.add(ET_STRUCT);
  Element& member = model.add(ET_STRUCT);
  Element& copy = model.add(ET_STRUCT);
  top.set_children(&member);
  member.set_next(&copy);
  copy.set_is_copy(true);
  copy.set_children(&member);  // the body holds a copy that shares it
  clear_marks(&top);
  for (const Element& element : model.store) EXPECT_EQ(element.mark(), 0);
}

TEST(ClearMarks, DeepNestingAndLongLists) {
  Model model;
  constexpr int kDepth = 100000;
  Element* top = &model.add(ET_STRUCT);
  Element* parent = top;
  for (int i = 0; i < kDepth; ++i) {
    Element& child = model.add(ET_STRUCT);
    parent->set_children(&child);
    parent = &child;
  }
  Element* last = top;
  for (int i = 0; i < kDepth; ++i) {
    Element& sibling = model.add();
    last->set_next(&sibling);
    last = &sibling;
  }
  clear_marks(top);
  for (const Element& element : model.store) ASSERT_EQ(element.mark(), 0);
}

TEST(ClearMarks, EmptyList) {
  clear_marks(nullptr);
}

}  // namespace
}  // namespace taloq
