#include "backend_utils/integer_printers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <sstream>
#include <string>

#include "backend_utils/print_switch.h"
#include "parse/element.h"
#include "test_support.h"

namespace taloq {
namespace {

Element& integer(bool negative_min, std::uint32_t min, std::uint32_t max) {
  Element& element = testing::scratch_element();
  element.set_type(ET_INTEGER);
  element.set_constrained(true);
  element.set_min_negative(negative_min);
  element.set_min(min);
  element.set_max(max);
  return element;
}

class IntegerPrinters : public ::testing::Test {
 protected:
  IntegerPrinters() {
    set_print_enable(1);
    captured.run.output = &output;
  }
  ~IntegerPrinters() override { set_print_enable(1); }

  std::string width(const Element& element) {
    output.str("");
    print_int_width(captured.run, &element);
    return output.str();
  }
  std::string digits(const Element& element) {
    output.str("");
    EXPECT_EQ(print_int_digits(captured.run, 7, &element), 1);
    return output.str();
  }

  testing::CapturedRun captured;
  std::ostringstream output;
};

TEST_F(IntegerPrinters, UnconstrainedIsInt32) {
  Element& element = testing::scratch_element();
  element.set_type(ET_INTEGER);
  element.set_min_negative(true);
  element.set_max(3);
  EXPECT_EQ(width(element), "int32");
}

TEST_F(IntegerPrinters, UnsignedWidthsAtTheirEdges) {
  EXPECT_EQ(width(integer(false, 0, 0)), "uns8");
  EXPECT_EQ(width(integer(false, 0, 255)), "uns8");
  EXPECT_EQ(width(integer(false, 0, 256)), "uns16");
  EXPECT_EQ(width(integer(false, 0, 65535)), "uns16");
  EXPECT_EQ(width(integer(false, 0, 65536)), "uns32");
  EXPECT_EQ(width(integer(false, 0, 4294967295u)), "uns32");
  // The lower bound does not count when it is not negative.
  EXPECT_EQ(width(integer(false, 4000000000u, 10)), "uns8");
}

TEST_F(IntegerPrinters, SignedWidthsAtTheirEdges) {
  EXPECT_EQ(width(integer(true, 127, 127)), "int8");
  EXPECT_EQ(width(integer(true, 128, 127)), "int16");  // -128..127
  EXPECT_EQ(width(integer(true, 127, 128)), "int16");
  EXPECT_EQ(width(integer(true, 32767, 32767)), "int16");
  EXPECT_EQ(width(integer(true, 32768, 0)), "int32");
  EXPECT_EQ(width(integer(true, 1, 32768)), "int32");
  EXPECT_EQ(width(integer(true, 4294967295u, 4294967295u)), "int32");
}

TEST_F(IntegerPrinters, UpperBoundSignIsNotConsulted) {
  Element& both_negative = integer(true, 10, 5);  // -10..-5
  both_negative.set_max_negative(true);
  EXPECT_EQ(width(both_negative), "int8");
  Element& only_max = integer(false, 0, 300);
  only_max.set_max_negative(true);
  EXPECT_EQ(width(only_max), "uns16");
}

TEST_F(IntegerPrinters, WidthGoesThroughThePrinter) {
  set_print_enable(0);
  EXPECT_EQ(width(integer(false, 0, 1)), "");
  set_print_enable(1);
  EXPECT_EQ(captured.run.column, 0);
  width(integer(false, 0, 1));
  EXPECT_EQ(captured.run.column, 4);
}

TEST(DecimalDigits, CountsTheDigitsOfTheMagnitude) {
  EXPECT_EQ(decimal_digits(0), 1);
  EXPECT_EQ(decimal_digits(9), 1);
  EXPECT_EQ(decimal_digits(10), 2);
  EXPECT_EQ(decimal_digits(100), 3);
  EXPECT_EQ(decimal_digits(-100), 3);
  EXPECT_EQ(decimal_digits(-1), 1);
  EXPECT_EQ(decimal_digits(std::numeric_limits<std::int32_t>::max()), 10);
  EXPECT_EQ(decimal_digits(std::numeric_limits<std::int32_t>::min()), 10);
}

TEST(MagnitudeDigits, CoversTheWholeUnsignedRange) {
  EXPECT_EQ(magnitude_digits(0), 1);
  EXPECT_EQ(magnitude_digits(999999999u), 9);
  EXPECT_EQ(magnitude_digits(2147483648u), 10);
  EXPECT_EQ(magnitude_digits(4294967295u), 10);
}

TEST_F(IntegerPrinters, DigitsOfTheLargerBoundAndTheZMark) {
  EXPECT_EQ(digits(integer(true, 100, 5)), ", 3, FALSE");
  EXPECT_EQ(digits(integer(false, 0, 65535)), ", 5, FALSE");
  Element& with_z = integer(false, 7, 0);
  with_z.set_z_flag(true);
  EXPECT_EQ(digits(with_z), ", 1, TRUE");
}

TEST_F(IntegerPrinters, DigitsOfBoundsBeyondTheSignedRange) {
  EXPECT_EQ(digits(integer(false, 0, 4294967295u)), ", 10, FALSE");
  EXPECT_EQ(digits(integer(false, 0, 3000000000u)), ", 10, FALSE");
}

TEST_F(IntegerPrinters, DigitsPrintNothingForOtherTypes) {
  Element& element = integer(false, 0, 100);
  element.set_type(ET_FLOAT);
  EXPECT_EQ(digits(element), "");
  element.set_type(ET_LINK);
  EXPECT_EQ(digits(element), "");
}

}  // namespace
}  // namespace taloq
