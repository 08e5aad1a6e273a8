#include "lex/numbers.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "test_support.h"

namespace taloq {
namespace {

using testing::TextSource;

struct Conversion {
  const char* text;
  std::uint32_t value;
};

TEST(ToNumber, DecimalHexadecimalAndMasks) {
  const std::vector<Conversion> cases = {
      {"0", 0},
      {"7", 7},
      {"4294967295", 4294967295u},
      {"4294967296", 4294967295u},
      {"99999999999999999999999", 4294967295u},
      {"0x1B", 27},
      {"0x1b", 27},
      {"0xff", 255},
      {"0xFFFFFFFF", 4294967295u},
      {"0x100000000", 4294967295u},
      {"0x0", 0},
      {"0b", 0},
      {"1b", 1},
      {"8b", 255},
      {"12b", 4095},
      {"12B", 4095},
      {"31b", 2147483647u},
      {"32b", 4294967295u},
      {"-7", 7},
      {"-0x10", 16},
      {"-3b", 7},
  };
  for (const Conversion& c : cases) {
    TextSource source("");
    EXPECT_EQ(to_number(source.ctx, c.text), c.value) << c.text;
    EXPECT_EQ(source.captured.text(), "") << c.text;
    EXPECT_EQ(source.ctx.errors, 0);
    EXPECT_EQ(convert_number(c.text), c.value) << c.text;
  }
}

TEST(ToNumber, AMaskCountAbove32IsReportedAndCounted) {
  for (const char* text : {"33b", "100B", "99999999999b", "-33b"}) {
    TextSource source("");
    EXPECT_EQ(convert_number(text), std::nullopt) << text;
    EXPECT_EQ(to_number(source.ctx, text), 4294967295u) << text;
    EXPECT_EQ(source.captured.text(),
              std::string("ERROR: Unable to convert ") + text + " to numerical value\n");
    EXPECT_EQ(source.ctx.errors, 1) << text;
    EXPECT_EQ(source.captured.run.errors, 1) << text;
    EXPECT_EQ(source.captured.run.warnings, 0) << text;
  }
}

TEST(ToSignedNumber, NegatesATextWithASign) {
  TextSource source("");
  EXPECT_EQ(to_signed_number(source.ctx, "-7"), -7);
  EXPECT_EQ(to_signed_number(source.ctx, "7"), 7);
  EXPECT_EQ(to_signed_number(source.ctx, "-0x10"), -16);
  EXPECT_EQ(to_signed_number(source.ctx, "-2147483648"), INT32_MIN);
  EXPECT_EQ(to_signed_number(source.ctx, "-0"), 0);
  EXPECT_EQ(to_signed_number(source.ctx, "-1b"), -1);
  EXPECT_EQ(source.ctx.errors, 0);
  EXPECT_EQ(to_signed_number(source.ctx, "-40b"), 1);  // the saturated magnitude, negated
  EXPECT_EQ(source.ctx.errors, 1);
  EXPECT_EQ(source.captured.text(), "ERROR: Unable to convert -40b to numerical value\n");
}

}  // namespace
}  // namespace taloq
