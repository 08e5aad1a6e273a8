#include "backend_utils/debug_dump.h"

#include <gtest/gtest.h>

#include <deque>
#include <sstream>
#include <string>

#include "backend_utils/print_switch.h"
#include "parse/element.h"

namespace taloq {
namespace {

struct Model {
  Element& add(const char* c_name, std::int32_t type = ET_INTEGER) {
    Element& element = store.emplace_back();
    element.set_type(type);
    element.set_c_name(Text::borrow(c_name));
    element.set_tag(element.c_name());
    return element;
  }
  ElementStore store;
};

std::string dump(const Element* list, int level) {
  std::ostringstream out;
  debug_dump(list, level, out);
  return out.str();
}

// The entry of an element with default fields.
std::string plain_entry(int level, const std::string& name) {
  return std::to_string(level) + ": (Name " + name +
         ") (Type <DEBUG - needs code fix to map types>) (Tag " + name +
         ") \n"
         "         (Has cardinality 0) (Cardinality min 0) (Cardinality max -1)\n"
         "         (Constrained 0) (Min 0) (Max 0)\n";
}

TEST(DebugDump, ExactTextOfOneEntry) {
  Model model;
  Element& element = model.add("count");
  element.set_tag("cnt");
  element.set_has_cardinality(true);
  element.set_cardinality_min(1);
  element.set_cardinality_max(4);
  element.set_constrained(true);
  element.set_min(10);
  element.set_max(200);
  element.set_type_name("ignored");
  EXPECT_EQ(dump(&element, 3),
            "3: (Name count) (Type <DEBUG - needs code fix to map types>) (Tag cnt) \n"
            "         (Has cardinality 1) (Cardinality min 1) (Cardinality max 4)\n"
            "         (Constrained 1) (Min 10) (Max 200)\n");
}

TEST(DebugDump, BoundsAreUnsignedMagnitudes) {
  Model model;
  Element& element = model.add("big");
  element.set_min(4294967295u);
  element.set_max(3000000000u);
  element.set_cardinality_min(4294967295u);
  EXPECT_EQ(dump(&element, 0),
            "0: (Name big) (Type <DEBUG - needs code fix to map types>) (Tag big) \n"
            "         (Has cardinality 0) (Cardinality min 4294967295) (Cardinality max -1)\n"
            "         (Constrained 0) (Min 4294967295) (Max 3000000000)\n");
}

TEST(DebugDump, BodiesOneLevelDeeperBeforeTheNextSibling) {
  Model model;
  Element& s = model.add("s", ET_STRUCT);
  Element& a = model.add("a");
  Element& b = model.add("b");
  Element& t = model.add("t");
  s.set_children(&a);
  a.set_next(&b);
  s.set_next(&t);
  EXPECT_EQ(dump(&s, 0),
            plain_entry(0, "s") + plain_entry(1, "a") + plain_entry(1, "b") + plain_entry(0, "t"));
}

TEST(DebugDump, ResolvedReferenceIsNotDescended) {
  Model model;
  Element& target = model.add("Stamp", ET_STRUCT);
  Element& member = model.add("when");
  Element& reference = model.add("stamp", ET_STRUCT);
  target.set_children(&member);
  target.set_next(&reference);
  reference.set_link("Stamp");
  reference.set_children(&member);
  EXPECT_EQ(dump(&target, 0),
            plain_entry(0, "Stamp") + plain_entry(1, "when") + plain_entry(0, "stamp"));
}

TEST(DebugDump, PlugCopyShowsItsSharedBody) {
  Model model;
  Element& target = model.add("T", ET_STRUCT);
  Element& copy = model.add("s", ET_STRUCT);
  Element& shared = model.add("x");
  target.set_children(&copy);
  copy.set_is_copy(true);
  copy.set_children(&shared);
  EXPECT_EQ(dump(&target, 0), plain_entry(0, "T") + plain_entry(1, "s") + plain_entry(2, "x"));
}

TEST(DebugDump, BodyThatContainsItselfIsWrittenOncePerPath) {
  Model model;
  Element& top = model.add("T", ET_STRUCT);
  Element& member = model.add("m");
  Element& copy = model.add("c", ET_STRUCT);
  top.set_children(&member);
  member.set_next(&copy);
  copy.set_is_copy(true);
  copy.set_children(&member);
  EXPECT_EQ(dump(&top, 0), plain_entry(0, "T") + plain_entry(1, "m") + plain_entry(1, "c"));
}

TEST(DebugDump, IgnoresThePrintSwitch) {
  Model model;
  Element& element = model.add("x");
  set_print_enable(0);
  const std::string text = dump(&element, 0);
  set_print_enable(1);
  EXPECT_EQ(text, plain_entry(0, "x"));
}

TEST(DebugDump, DeepNesting) {
  Model model;
  constexpr int kDepth = 100000;
  Element* top = &model.add("n", ET_STRUCT);
  Element* parent = top;
  for (int i = 0; i < kDepth; ++i) {
    Element& child = model.add("n", ET_STRUCT);
    parent->set_children(&child);
    parent = &child;
  }
  const std::string text = dump(top, 0);
  EXPECT_NE(text.find(plain_entry(kDepth, "n")), std::string::npos);
}

TEST(DebugDump, EmptyListWritesNothing) {
  EXPECT_EQ(dump(nullptr, 0), "");
}

}  // namespace
}  // namespace taloq
