#include "backend_utils/cardinality_printer.h"

#include <gtest/gtest.h>

#include <csignal>
#include <sstream>
#include <string>

#include "backend_utils/print_switch.h"
#include "parse/element.h"
#include "test_support.h"

namespace taloq {
namespace {

Element& with_cardinality(std::uint32_t min, std::int32_t max) {
  Element& element = testing::scratch_element();
  element.set_type(ET_INTEGER);
  element.set_has_cardinality(true);
  element.set_cardinality_min(min);
  element.set_cardinality_max(max);
  return element;
}

class CardinalityPrinter : public ::testing::Test {
 protected:
  CardinalityPrinter() {
    set_print_enable(1);
    captured.run.output = &output;
  }

  std::string print(const Element& element) {
    output.str("");
    EXPECT_EQ(print_cardinality(captured.run, 0, &element), 1);
    return output.str();
  }

  testing::CapturedRun captured;
  std::ostringstream output;
};

TEST_F(CardinalityPrinter, BoundedAndUnbounded) {
  EXPECT_EQ(print(with_cardinality(0, 1)), "[0..1]");
  EXPECT_EQ(print(with_cardinality(1, -1)), "[1..*]");
  EXPECT_EQ(print(with_cardinality(0, -1)), "[0..*]");
  EXPECT_EQ(print(with_cardinality(3, 12)), "[3..12]");
}

TEST_F(CardinalityPrinter, BoundsAtTheEdgesOfTheirFields) {
  EXPECT_EQ(print(with_cardinality(4294967295u, 2147483647)), "[4294967295..2147483647]");
  // An upper bound beyond the signed range reads back as its magnitude.
  EXPECT_EQ(print(with_cardinality(0, -2147483647 - 1)), "[0..2147483648]");
}

using CardinalityPrinterDeathTest = CardinalityPrinter;

TEST_F(CardinalityPrinterDeathTest, ElementWithoutCardinality) {
  Element& element = with_cardinality(0, 1);
  element.set_has_cardinality(false);
  EXPECT_EXIT(print_cardinality(captured.run, 0, &element), ::testing::KilledBySignal(SIGABRT),
              "^Assertion failed: ap_element->has_cardinality, file ktfutil, line 542\n$");
}

}  // namespace
}  // namespace taloq
