// The type constraint between '<' and '>' (state PS_CONSTRAINT).

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "parse/clauses.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::error_at;
using testing::nth;
using testing::parse_top_level;
using testing::TextSource;

struct Parsed {
  explicit Parsed(std::string_view text) : source(text) { output = parse_top_level(source); }
  Element& first() const { return *source.module->elements; }
  TextSource source;
  std::string output;
};

struct RangeCase {
  const char* text;
  bool constrained;
  std::uint32_t min;
  bool min_negative;
  std::uint32_t max;
  bool max_negative;
  bool z_flag;
};

TEST(Range, SingleValuesRangesAndZ) {
  const std::vector<RangeCase> cases = {
      {"int<5> x;", true, 5, false, 5, false, false},
      {"int<-5> x;", true, 5, true, 5, true, false},
      {"int<-10..10> x;", true, 10, true, 10, false, false},
      {"int<10..-10> x;", true, 10, false, 10, true, false},
      {"int<9..1> x;", true, 9, false, 1, false, false},
      {"int<0..255z> x;", true, 0, false, 255, false, true},
      {"int<0..255 Z > x;", true, 0, false, 255, false, true},
      {"int< 0x10 .. 0xff > x;", true, 16, false, 255, false, false},
      {"int<0..8b> x;", true, 0, false, 255, false, false},
      {"int<-0x7fffffff..99999999999> x;", true, 0x7fffffffu, true, 4294967295u, false, false},
      {"int<> x;", false, 0, false, 0, false, false},
      {"int< > x;", false, 0, false, 0, false, false},
      {"bytes<1..16> x;", true, 1, false, 16, false, false},
      {"unicode<3> x;", true, 3, false, 3, false, false},
      {"int</*c*/1..2/*d*/> x;", true, 1, false, 2, false, false},
  };
  for (const RangeCase& c : cases) {
    Parsed parsed(c.text);
    EXPECT_EQ(parsed.output, "") << c.text;
    const Element& e = parsed.first();
    EXPECT_EQ(e.constrained(), c.constrained) << c.text;
    EXPECT_EQ(e.min(), c.min) << c.text;
    EXPECT_EQ(e.min_negative(), c.min_negative) << c.text;
    EXPECT_EQ(e.max(), c.max) << c.text;
    EXPECT_EQ(e.max_negative(), c.max_negative) << c.text;
    EXPECT_EQ(e.z_flag(), c.z_flag) << c.text;
    EXPECT_EQ(e.name(), "x") << c.text;
  }
}

TEST(Range, ZAfterASingleValueIsRefused) {
  Parsed parsed("int<5z> x;");
  EXPECT_EQ(parsed.output, error_at(1, "Invalid type constraint"));
  EXPECT_EQ(parsed.first().min(), 5u);
  EXPECT_FALSE(parsed.first().constrained());
  EXPECT_FALSE(parsed.first().z_flag());
  EXPECT_EQ(parsed.first().name(), "x");
  // Only integers take the z.
  Parsed bytes("bytes<0..5z> b;");
  EXPECT_EQ(bytes.output, error_at(1, "Invalid type constraint"));
  EXPECT_FALSE(bytes.first().z_flag());
}

TEST(Range, BadRangesAreReportedThenTheClosingIsLookedFor) {
  struct Case {
    const char* text;
    std::string output;
    bool named;  // the constraint still ended at its '>'
  };
  const std::vector<Case> cases = {
      {"int<-> x;", error_at(1, "Invalid type constraint"), true},
      // The '>' read in place of the upper bound is gone.
      {"int<1..> x;",
       error_at(1, "Invalid type constraint") + error_at(1, "Invalid type constraint"), false},
      {"int<1..a> x;", error_at(1, "Invalid type constraint"), true},
      {"int<z> x;", error_at(1, "Invalid type constraint"), false},
      {"int<1 2> x;", error_at(1, "Invalid type constraint"), true},
      {"int<1...2> x;",
       error_at(1, "Invalid type constraint") + error_at(1, "Invalid type constraint"), false},
      {"int<a> x;", error_at(1, "Invalid type constraint"), false},
      {"int<1..2 x;", error_at(1, "Invalid type constraint"), false},
  };
  for (const Case& c : cases) {
    Parsed parsed(c.text);
    EXPECT_EQ(parsed.output, c.output) << c.text;
    EXPECT_EQ(parsed.first().name() == "x", c.named) << c.text;
    EXPECT_EQ(parsed.source.ctx.state, PS_END_BLOCK) << c.text;
  }
  // A failed range keeps what it had set; constrained stays 0.
  Parsed partial("int<-3..a> x;");
  EXPECT_EQ(partial.first().min(), 3u);
  EXPECT_TRUE(partial.first().min_negative());
  EXPECT_FALSE(partial.first().constrained());
}

TEST(FloatConstraint, SingleDoubleAndOthers) {
  Parsed parsed("float<double> d; float<single> f; float g; float< double > h;");
  EXPECT_EQ(parsed.output, "");
  EXPECT_EQ(nth(parsed.source.module->elements, 0)->type(), ET_DOUBLE);
  EXPECT_EQ(nth(parsed.source.module->elements, 1)->type(), ET_FLOAT);
  EXPECT_EQ(nth(parsed.source.module->elements, 2)->type(), ET_FLOAT);
  EXPECT_EQ(nth(parsed.source.module->elements, 3)->type(), ET_DOUBLE);

  Parsed half("float<half> h;\nbool b;");
  EXPECT_EQ(half.output, error_at(1, "Unrecognised float constraint: half"));
  EXPECT_EQ(half.first().name(), std::string(kUnsetText));
  EXPECT_EQ(nth(half.source.module->elements, 1)->name(), "b");
  // A missing '>' after the precision fails without a message.
  Parsed unclosed("float<double x> y;\nbool b;");
  EXPECT_EQ(unclosed.output, "");
  EXPECT_EQ(unclosed.first().type(), ET_DOUBLE);
  EXPECT_EQ(unclosed.first().name(), std::string(kUnsetText));
  Parsed empty("float<> f;");
  EXPECT_EQ(empty.output, error_at(1, "Unrecognised float constraint: >"));
  Parsed eof("float<");
  EXPECT_EQ(eof.output, error_at(1, "Unrecognised float constraint: ") +
                            error_at(1, "Encountered premature end of file"));
}

TEST(Pattern, StoredWithoutItsSlashes) {
  struct Case {
    const char* text;
    const char* pattern;
  };
  const std::vector<Case> cases = {
      {"ascii</[/]x\\/y/> s;", "[/]x\\/y"}, {"ascii</a b/> s;", "a b"},
      {"unquoted-ascii<1..3 /x/> s;", "x"}, {"unicode<1..2/\\\\/> s;", "\\\\"},
      {"ascii</[\\]/]/> s;", "[\\]/]"},     {"ascii< /x/ > s;", "x"},
  };
  for (const Case& c : cases) {
    Parsed parsed(c.text);
    EXPECT_EQ(parsed.output, "") << c.text;
    ASSERT_FALSE(parsed.first().pattern().is_null()) << c.text;
    EXPECT_EQ(parsed.first().pattern(), c.pattern) << c.text;
    EXPECT_EQ(parsed.first().name(), "s") << c.text;
  }
  Parsed none("ascii<1..2> s;");
  EXPECT_TRUE(none.first().pattern().is_null());
}

TEST(Pattern, KeepsItsFirst255Characters) {
  const std::string long_pattern(300, 'p');
  Parsed parsed("ascii</" + long_pattern + "/> s;");
  EXPECT_EQ(parsed.output, "");
  EXPECT_EQ(parsed.first().pattern(), std::string(255, 'p'));
  Parsed nul(std::string_view("ascii</ab\0cd/> s;", 17));
  EXPECT_EQ(nul.output, "");
  EXPECT_EQ(nul.first().pattern(), "ab");
}

TEST(Pattern, ASingleValueTakesTheNextTokenAsPartOfItsRange) {
  // After a single value the range reader wants '>' or "..", so the slash
  // that opens a pattern is refused there, as the 'z' of an integer is.
  Parsed parsed("ascii<4 /x/> s;\nbool b;");
  EXPECT_EQ(parsed.output,
            error_at(1, "Invalid type constraint") + error_at(1, "Invalid type constraint"));
  EXPECT_TRUE(parsed.first().pattern().is_null());
  EXPECT_EQ(nth(parsed.source.module->elements, 1)->name(), "b");
}

TEST(Pattern, OnlyStringTypesTakeOne) {
  Parsed bytes("bytes</x/> b;");
  EXPECT_EQ(bytes.output, error_at(1, "Invalid type constraint"));
  EXPECT_TRUE(bytes.first().pattern().is_null());
  Parsed integer("int</x/> i;");
  EXPECT_EQ(integer.output, error_at(1, "Invalid type constraint"));
}

TEST(Pattern, EndOfFileEndsItWithoutAMessage) {
  Parsed parsed("ascii</abc");
  EXPECT_EQ(parsed.output, error_at(1, "Invalid type constraint") +
                               error_at(1, "Encountered premature end of file"));
  EXPECT_EQ(parsed.first().pattern(), "abc");
}

TEST(EmbeddedParameters, SkippedUpToTheClosingParenthesis) {
  Parsed parsed("embedded<(a, b)> e; embedded<1..2 ( x > y )> f;");
  EXPECT_EQ(parsed.output, "");
  EXPECT_EQ(parsed.first().name(), "e");
  EXPECT_TRUE(parsed.first().pattern().is_null());
  EXPECT_EQ(nth(parsed.source.module->elements, 1)->name(), "f");
  EXPECT_EQ(nth(parsed.source.module->elements, 1)->max(), 2u);
  Parsed other("ascii<(a)> s;");
  EXPECT_EQ(other.output, error_at(1, "Invalid type constraint"));
  Parsed eof("embedded<(a");
  EXPECT_EQ(eof.output, error_at(1, "Invalid type constraint") +
                            error_at(1, "Encountered premature end of file"));
}

TEST(Constraint, EndOfFileInside) {
  for (const char* text : {"int<", "int<1", "int<1..", "int<1..2", "ascii<1..2 /x/"}) {
    Parsed parsed(text);
    const std::string range_error = std::string(text).ends_with('<') ||
                                            std::string(text).ends_with('2') ||
                                            std::string(text).ends_with('/')
                                        ? ""
                                        : error_at(1, "Invalid type constraint");
    EXPECT_EQ(parsed.output, range_error + error_at(1, "Invalid type constraint") +
                                 error_at(1, "Encountered premature end of file"))
        << text;
  }
}

}  // namespace
}  // namespace taloq
