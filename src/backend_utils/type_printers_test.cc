#include "backend_utils/type_printers.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <string>

#include "backend_utils/print_switch.h"
#include "parse/element.h"
#include "test_support.h"

namespace taloq {
namespace {

Element& of_type(std::int32_t type) {
  Element& element = testing::scratch_element();
  element.set_type(type);
  return element;
}

class TypePrinters : public ::testing::Test {
 protected:
  TypePrinters() {
    set_print_enable(1);
    captured.run.output = &output;
  }
  ~TypePrinters() override { set_print_enable(1); }

  using Printer = int (*)(RunContext&, int, const Element*);
  std::string print(Printer printer, const Element& element) {
    output.str("");
    EXPECT_EQ(printer(captured.run, 3, &element), 1);
    return output.str();
  }
  std::string type_name(std::int32_t type) { return print(print_type_name, of_type(type)); }
  std::string value_type_name(const Element& element) {
    return print(print_value_type_name, element);
  }

  testing::CapturedRun captured;
  std::ostringstream output;
};

TEST_F(TypePrinters, CompoundKinds) {
  EXPECT_EQ(print(print_compound_kind, of_type(ET_STRUCT)), "struct");
  EXPECT_EQ(print(print_compound_kind, of_type(ET_UNION)), "union");
  EXPECT_EQ(print(print_compound_kind, of_type(ET_COMBINED)), "combi");
}

TEST_F(TypePrinters, TypeNamesOfEveryScalarType) {
  EXPECT_EQ(type_name(ET_NULL), "void");
  EXPECT_EQ(type_name(ET_BOOLEAN), "bool");
  EXPECT_EQ(type_name(ET_INTEGER), "int32");
  EXPECT_EQ(type_name(ET_FLOAT), "float");
  EXPECT_EQ(type_name(ET_DOUBLE), "double");
  EXPECT_EQ(type_name(ET_OID), "oid");
  EXPECT_EQ(type_name(ET_ASCII), "ascii");
  EXPECT_EQ(type_name(ET_UNQUOTED_ASCII), "ascii");
  EXPECT_EQ(type_name(ET_UNICODE), "unicode");
  EXPECT_EQ(type_name(ET_BYTES), "bytes");
  EXPECT_EQ(type_name(ET_CONST), "const");
  EXPECT_EQ(type_name(ET_IPV4), "ipv4");
  EXPECT_EQ(type_name(ET_IPV6), "ipv6");
  EXPECT_EQ(type_name(ET_DATE), "date");
  EXPECT_EQ(type_name(ET_TIME), "time");
  EXPECT_EQ(type_name(ET_EMBEDDED), "embedded");
}

TEST_F(TypePrinters, IntegerTypeNameIsItsWidth) {
  Element& element = of_type(ET_INTEGER);
  element.set_constrained(true);
  element.set_max(255);
  EXPECT_EQ(print(print_type_name, element), "uns8");
  element.set_min_negative(true);
  element.set_min(128);
  EXPECT_EQ(print(print_type_name, element), "int16");
}

TEST_F(TypePrinters, ValueTypeNames) {
  Element& signed_int = of_type(ET_INTEGER);
  signed_int.set_min_negative(true);
  EXPECT_EQ(value_type_name(signed_int), "int");
  EXPECT_EQ(value_type_name(of_type(ET_INTEGER)), "unsint");
  EXPECT_EQ(value_type_name(of_type(ET_FLOAT)), "double");
  EXPECT_EQ(value_type_name(of_type(ET_DOUBLE)), "double");
  EXPECT_EQ(value_type_name(of_type(ET_ASCII)), "quoted_ascii");
  EXPECT_EQ(value_type_name(of_type(ET_UNQUOTED_ASCII)), "unquoted_ascii");
  EXPECT_EQ(value_type_name(of_type(ET_OID)), "oid");
  EXPECT_EQ(value_type_name(of_type(ET_UNICODE)), "unicode");
  EXPECT_EQ(value_type_name(of_type(ET_EMBEDDED)), "embedded");
}

TEST_F(TypePrinters, NamesGoThroughThePrinter) {
  set_print_enable(0);
  EXPECT_EQ(type_name(ET_DATE), "");
  EXPECT_EQ(print(print_compound_kind, of_type(ET_UNION)), "");
  EXPECT_EQ(value_type_name(of_type(ET_ASCII)), "");
}

using TypePrintersDeathTest = TypePrinters;

TEST_F(TypePrintersDeathTest, CompoundKindOfAScalar) {
  const Element& element = of_type(ET_INTEGER);
  EXPECT_EXIT(print_compound_kind(captured.run, 0, &element), ::testing::KilledBySignal(SIGABRT),
              "^Assertion failed: 0, file ktfutil, line 415\n$");
}

TEST_F(TypePrintersDeathTest, TypeNameOfAReference) {
  Element& element = of_type(ET_STRUCT);
  element.set_link("Header");
  EXPECT_EXIT(print_type_name(captured.run, 0, &element), ::testing::KilledBySignal(SIGABRT),
              "^Assertion failed: ap_element->link\\[0\\] == '\\\\0', file ktfutil, line 426\n$");
}

TEST_F(TypePrintersDeathTest, TypeNameOfAConstructedType) {
  const Element& element = of_type(ET_STRUCT);
  EXPECT_EXIT(print_type_name(captured.run, 0, &element), ::testing::KilledBySignal(SIGABRT),
              "^Assertion failed: 0, file ktfutil, line 496\n$");
}

TEST_F(TypePrintersDeathTest, TypeNameOfAnUnresolvedLink) {
  const Element& element = of_type(ET_LINK);
  EXPECT_EXIT(print_type_name(captured.run, 0, &element), ::testing::KilledBySignal(SIGABRT),
              "^Assertion failed: 0, file ktfutil, line 496\n$");
}

TEST_F(TypePrintersDeathTest, ValueTypeNameOfAReference) {
  Element& element = of_type(ET_UNION);
  element.set_link("Lib::Choice");
  EXPECT_EXIT(print_value_type_name(captured.run, 0, &element), ::testing::KilledBySignal(SIGABRT),
              "^Assertion failed: ap_element->link\\[0\\] == '\\\\0', file ktfutil, line 507\n$");
}

TEST_F(TypePrintersDeathTest, ValueTypeNameFallsBackToTheTypeNameCheck) {
  const Element& element = of_type(ET_COMBINED);
  EXPECT_EXIT(print_value_type_name(captured.run, 0, &element), ::testing::KilledBySignal(SIGABRT),
              "^Assertion failed: 0, file ktfutil, line 496\n$");
}

}  // namespace
}  // namespace taloq
