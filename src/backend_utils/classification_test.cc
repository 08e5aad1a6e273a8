#include "backend_utils/classification.h"

#include <gtest/gtest.h>

#include <csignal>

#include "parse/element.h"
#include "test_support.h"

namespace taloq {
namespace {

Element& of_type(std::int32_t type, bool constrained = false) {
  Element& element = testing::scratch_element();
  element.set_type(type);
  element.set_constrained(constrained);
  return element;
}

int class_of(std::int32_t type, bool constrained = false) {
  const Element& element = of_type(type, constrained);
  return type_class(&element);
}

TEST(TypeClass, ScalarClasses) {
  EXPECT_EQ(class_of(ET_NULL), 0);
  EXPECT_EQ(class_of(ET_BOOLEAN), 1);
  EXPECT_EQ(class_of(ET_INTEGER), 1);
  EXPECT_EQ(class_of(ET_FLOAT), 1);
  EXPECT_EQ(class_of(ET_DOUBLE), 1);
  EXPECT_EQ(class_of(ET_OID), 2);
  EXPECT_EQ(class_of(ET_DATE), 2);
  EXPECT_EQ(class_of(ET_TIME), 2);
  EXPECT_EQ(class_of(ET_IPV4), 3);
  EXPECT_EQ(class_of(ET_IPV6), 3);
  EXPECT_EQ(class_of(ET_CONST), 4);
}

TEST(TypeClass, TextsByConstraintAndDynamic) {
  for (const std::int32_t type : {ET_ASCII, ET_UNQUOTED_ASCII, ET_UNICODE}) {
    EXPECT_EQ(class_of(type, true), 5) << type;
    EXPECT_EQ(class_of(type, false), 6) << type;
    Element& dynamic = of_type(type, true);
    dynamic.set_dynamic(true);
    EXPECT_EQ(type_class(&dynamic), 6) << type;
  }
}

TEST(TypeClass, BytesByConstraintAndDynamic) {
  for (const std::int32_t type : {ET_BYTES, ET_EMBEDDED}) {
    EXPECT_EQ(class_of(type, true), 7) << type;
    EXPECT_EQ(class_of(type, false), 8) << type;
    Element& dynamic = of_type(type, true);
    dynamic.set_dynamic(true);
    EXPECT_EQ(type_class(&dynamic), 8) << type;
  }
}

TEST(TypeClass, ConstructedTypes) {
  EXPECT_EQ(class_of(ET_STRUCT), 9);
  EXPECT_EQ(class_of(ET_COMBINED), 9);
  EXPECT_EQ(class_of(ET_UNION), 10);
}

TEST(TypeClass, ReferencesToSharedBodies) {
  Element& member = of_type(ET_INTEGER);
  auto reference = [&](std::int32_t type, bool recursive) {
    Element& element = of_type(type);
    element.set_link("Target");
    element.set_children(&member);
    element.set_recursive(recursive);
    return type_class(&element);
  };
  EXPECT_EQ(reference(ET_STRUCT, false), 11);
  EXPECT_EQ(reference(ET_COMBINED, false), 11);
  EXPECT_EQ(reference(ET_UNION, false), 12);
  EXPECT_EQ(reference(ET_STRUCT, true), 13);
  EXPECT_EQ(reference(ET_COMBINED, true), 13);
  EXPECT_EQ(reference(ET_UNION, true), 14);
}

TEST(TypeClass, ReferenceWithoutBodyGoesByType) {
  Element& element = of_type(ET_UNION);
  element.set_link("EmptyChoice");
  EXPECT_EQ(type_class(&element), 10);
}

TEST(TypeClass, BodyWithoutReferenceGoesByType) {
  Element& member = of_type(ET_INTEGER);
  Element& element = of_type(ET_UNION);
  element.set_children(&member);
  element.set_recursive(true);
  EXPECT_EQ(type_class(&element), 10);
}

TEST(TypeClassDeathTest, UnresolvedReference) {
  Element& element = of_type(ET_LINK);
  element.set_link("Nowhere");
  EXPECT_EXIT(type_class(&element), ::testing::KilledBySignal(SIGABRT),
              "^Assertion failed: 0, file ktfutil, line 624\n$");
}

TEST(TypeClassDeathTest, UnknownTypeCode) {
  const Element& element = of_type(20);
  EXPECT_EXIT(type_class(&element), ::testing::KilledBySignal(SIGABRT),
              "^Assertion failed: 0, file ktfutil, line 624\n$");
}

Element& with_cardinality(bool has, std::uint32_t min, std::int32_t max, bool list = false) {
  Element& element = of_type(ET_INTEGER);
  element.set_has_cardinality(has);
  element.set_cardinality_min(min);
  element.set_cardinality_max(max);
  element.set_list(list);
  return element;
}

int cardinality_of(const Element& element) {
  return cardinality_class(&element);
}

TEST(CardinalityClass, EveryCode) {
  EXPECT_EQ(cardinality_of(with_cardinality(false, 0, -1)), 1);
  EXPECT_EQ(cardinality_of(with_cardinality(true, 0, 1)), 0);
  EXPECT_EQ(cardinality_of(with_cardinality(true, 1, 5)), 2);
  EXPECT_EQ(cardinality_of(with_cardinality(true, 2, 2)), 2);
  EXPECT_EQ(cardinality_of(with_cardinality(true, 1, 1)), 2);
  EXPECT_EQ(cardinality_of(with_cardinality(true, 0, -1)), 3);
  EXPECT_EQ(cardinality_of(with_cardinality(true, 1, -1)), 3);
}

TEST(CardinalityClass, ListFlag) {
  // Without a cardinality the list flag does not count.
  EXPECT_EQ(cardinality_of(with_cardinality(false, 0, 1, true)), 1);
  EXPECT_EQ(cardinality_of(with_cardinality(true, 1, 5, true)), 3);
  // The optional cardinality is recognised before the list flag.
  EXPECT_EQ(cardinality_of(with_cardinality(true, 0, 1, true)), 0);
}

}  // namespace
}  // namespace taloq
