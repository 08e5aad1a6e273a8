// The element clauses after the first token: name, followers, cardinality,
// tag, body, recovery and the checks at the closing ';'.

#include "parse/clauses.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/run_context.h"
#include "parse/block_parser.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::error_at;
using testing::nth;
using testing::parse_top_level;
using testing::TextSource;

// Parses the text and returns its first top-level element.
struct Parsed {
  explicit Parsed(std::string_view text) : source(text) { output = parse_top_level(source); }
  Element* first() const { return source.module->elements; }
  Element* at(int index) const { return nth(source.module->elements, index); }
  TextSource source;
  std::string output;
};

TEST(Name, ValidIdentifiersFillNameTagAndCName) {
  Parsed parsed("bool a-b; bool struct; bool as; bool x1_y;");
  EXPECT_EQ(parsed.output, "");
  EXPECT_EQ(parsed.first()->name(), "a-b");
  EXPECT_EQ(parsed.first()->tag(), "a-b");
  EXPECT_EQ(parsed.first()->c_name(), "a_b");
  EXPECT_EQ(parsed.at(1)->name(), "struct");
  EXPECT_EQ(parsed.at(2)->name(), "as");
  EXPECT_EQ(parsed.at(3)->c_name(), "x1_y");
}

TEST(Name, InvalidNamesAreSkipped) {
  const std::string longest(63, 'n');
  const std::string too_long(64, 'n');
  Parsed parsed("bool 9 _x { " + too_long + " " + longest + ";");
  EXPECT_EQ(parsed.output, error_at(1, "Invalid format for an identifier: 9") +
                               error_at(1, "Invalid format for an identifier: _x") +
                               error_at(1, "Invalid format for an identifier: {") +
                               error_at(1, "Identifier name exceeds 63 characters: " + too_long));
  EXPECT_EQ(parsed.first()->name(), longest);
  Parsed eof("bool\n");
  EXPECT_EQ(eof.output, error_at(2, "Encountered premature end of file"));
  EXPECT_EQ(eof.first()->name(), std::string(kUnsetText));
  EXPECT_EQ(eof.source.ctx.state, PS_END_BLOCK);
}

TEST(TypeSuffix, IntegersWithoutAConstraint) {
  Parsed parsed("int x;");
  EXPECT_EQ(parsed.output, error_at(1, "Integer 'x' missing constraint"));
  EXPECT_EQ(parsed.first()->name(), "x");
  EXPECT_FALSE(parsed.first()->constrained());
  // Every token tried as the name reports the missing constraint again, and
  // a "<" may still come.
  Parsed retried("int 9 <1..2> y;");
  EXPECT_EQ(retried.output, error_at(1, "Integer '9' missing constraint") +
                                error_at(1, "Invalid format for an identifier: 9"));
  EXPECT_EQ(retried.first()->name(), "y");
  EXPECT_TRUE(retried.first()->constrained());
  // Other constrainable types take a name at once.
  Parsed others("float f; ascii a; unquoted-ascii u; unicode w; bytes b; embedded e;");
  EXPECT_EQ(others.output, "");
  EXPECT_EQ(others.at(5)->name(), "e");
  Parsed eof("ascii");
  EXPECT_EQ(eof.output, error_at(1, "Encountered premature end of file"));
}

TEST(Followers, ModifiersPluginAndUnexpectedTokens) {
  Parsed parsed("bool a plugin pluggable smark emark exec [2] exec plugin as t exec plugin;");
  EXPECT_EQ(parsed.output, "");
  EXPECT_TRUE(parsed.first()->is_plugin());
  EXPECT_EQ(parsed.first()->tag(), "t");
  Parsed plain("bool a;");
  EXPECT_FALSE(plain.first()->is_plugin());

  Parsed after_name("bool a x 5;");
  EXPECT_EQ(after_name.output,
            error_at(1, "Unexpected token: x") + error_at(1, "Unexpected token: 5"));
  Parsed after_cardinality("bool a [1] [ x;");
  EXPECT_EQ(after_cardinality.output,
            error_at(1, "Unexpected token [") + error_at(1, "Unexpected token x"));
  Parsed after_tag("bool a as t as [ x;");
  EXPECT_EQ(after_tag.output, error_at(1, "Unexpected token as") +
                                  error_at(1, "Unexpected token [") +
                                  error_at(1, "Unexpected token x"));
  for (const char* text : {"bool a", "bool a [1]", "bool a as t", "struct s {}"}) {
    Parsed eof(text);
    EXPECT_EQ(eof.output, error_at(1, "Encountered premature end of file")) << text;
  }
}

TEST(Body, StructUnionAndCombinedTakeBodies) {
  Parsed parsed("struct S { bool a; bool b; }; union U { bool c; } plugin; combi C {};");
  EXPECT_EQ(parsed.output, "");
  EXPECT_EQ(parsed.first()->children()->name(), "a");
  EXPECT_EQ(parsed.first()->children()->next()->name(), "b");
  EXPECT_EQ(parsed.at(1)->children()->name(), "c");
  EXPECT_TRUE(parsed.at(1)->is_plugin());
  EXPECT_EQ(parsed.at(2)->children(), nullptr);
  // A body may follow the name or the cardinality, and then only modifiers,
  // another body and the ';'.
  Parsed after_cardinality("struct S [2] { bool a; } exec;");
  EXPECT_EQ(after_cardinality.output, "");
  EXPECT_EQ(after_cardinality.first()->children()->name(), "a");
  Parsed then_tag("struct S { bool a; } as t;");
  EXPECT_EQ(then_tag.output,
            error_at(1, "Unexpected token as") + error_at(1, "Unexpected token t"));
  // A second body replaces the head of the children when it has elements.
  Parsed twice("struct S { bool a; } { bool b; } {};");
  EXPECT_EQ(twice.output, "");
  EXPECT_EQ(twice.first()->children()->name(), "b");
  // A missing ';' after the body makes the next tokens unexpected.
  Parsed missing("struct S { bool a; }\nbool b;");
  EXPECT_EQ(missing.output,
            error_at(2, "Unexpected token bool") + error_at(2, "Unexpected token b"));
}

TEST(Body, OtherTypesRefuseTheOpeningBrace) {
  Parsed parsed("int<0..1> x { };");
  EXPECT_EQ(parsed.output,
            error_at(1, "Illegal opening { character") + error_at(1, "Unexpected token: }"));
  EXPECT_EQ(parsed.first()->name(), "x");
  EXPECT_EQ(parsed.source.ctx.errors, 2);
  Parsed link("Ref r [1] { bool a; };");
  EXPECT_EQ(link.output, error_at(1, "Illegal opening { character") +
                             error_at(1, "Unexpected token bool") +
                             error_at(1, "Unexpected token a"));
  EXPECT_EQ(link.first()->children(), nullptr);
  EXPECT_EQ(link.at(1), nullptr);
}

struct CardinalityCase {
  const char* text;
  std::uint32_t min;
  std::int32_t max;
};

TEST(Cardinality, AcceptedForms) {
  const std::vector<CardinalityCase> cases = {
      {"x [?]", 0, 1},      {"x [*]", 0, -1},       {"x [+]", 1, -1},   {"x [3]", 3, 3},
      {"x [2..5]", 2, 5},   {"x [2..*]", 2, -1},    {"x [9..1]", 9, 1}, {"x [0]", 0, 0},
      {"x [0x10]", 16, 16}, {"x [ 1 .. 2 ]", 1, 2}, {"x [4b]", 15, 15},
  };
  for (const CardinalityCase& c : cases) {
    Parsed parsed(std::string("T ") + c.text + ";");
    EXPECT_EQ(parsed.output, "") << c.text;
    EXPECT_TRUE(parsed.first()->has_cardinality()) << c.text;
    EXPECT_EQ(parsed.first()->cardinality_min(), c.min) << c.text;
    EXPECT_EQ(parsed.first()->cardinality_max(), c.max) << c.text;
    // After a "[" of the block every minimum is 0.
    Parsed bracketed(std::string("[ T ") + c.text + "; ]");
    EXPECT_EQ(bracketed.output, "") << c.text;
    EXPECT_EQ(bracketed.first()->cardinality_min(), 0u) << c.text;
    EXPECT_EQ(bracketed.first()->cardinality_max(), c.max) << c.text;
  }
}

TEST(Cardinality, NegativeValuesAndMalformedForms) {
  // "[-1]": reported, then the cardinality is read again from the "]" on.
  Parsed negative("T x [-1] 2];");
  EXPECT_EQ(negative.output, error_at(1, "Illegal negative value in cardinality") +
                                 error_at(1, "Illegal cardinality format"));
  EXPECT_EQ(negative.first()->cardinality_min(), 2u);
  EXPECT_EQ(negative.first()->cardinality_max(), 2);
  Parsed upper("T x [1..-2] 3];");
  EXPECT_EQ(upper.output, error_at(1, "Illegal negative value in cardinality") +
                              error_at(1, "Illegal cardinality format"));
  EXPECT_EQ(upper.first()->cardinality_min(), 3u);
  // After "?", "*" or "+" a malformed form leads to recovery: the ";" read in
  // place of the "]" makes the recovery skip the next statement.
  Parsed symbolic("T x [? ;\nT y;\nT z;");
  EXPECT_EQ(symbolic.output, error_at(1, "Illegal cardinality format"));
  EXPECT_EQ(symbolic.first()->name(), "x");
  EXPECT_EQ(symbolic.at(1)->name(), "z");
  EXPECT_EQ(symbolic.source.ctx.errors, 1);
  // Every other error stays in the cardinality state.
  Parsed others("T x [a] [1 x] [1..x] [1..* x] [1..2 x] 4];");
  // a ] [ | x after 1, ] [ | x after "..", ] [ | x after "*", ] [ | x after 2, ]
  std::string fourteen;
  for (int i = 0; i < 14; ++i) fourteen += error_at(1, "Illegal cardinality format");
  EXPECT_EQ(others.output, fourteen);
  EXPECT_EQ(others.first()->cardinality_min(), 4u);
  EXPECT_EQ(others.first()->cardinality_max(), 4);
}

TEST(Cardinality, EndOfFileInsideTheForm) {
  for (const char* text : {"T x [", "T x [1", "T x [1..", "T x [1..*", "T x [1..2", "T x [?"}) {
    Parsed parsed(text);
    const std::string last = error_at(1, "Encountered premature end of file");
    const bool malformed = std::string(text).ends_with('*') || std::string(text).ends_with('2') ||
                           std::string(text).ends_with('?');
    EXPECT_EQ(parsed.output, (malformed ? error_at(1, "Illegal cardinality format") : "") + last)
        << text;
    EXPECT_EQ(parsed.source.ctx.state, PS_END_BLOCK) << text;
  }
}

TEST(Cardinality, LargeMaximaKeepTheirBitPattern) {
  // The signed field holds the 32-bit value; read back unsigned it is the
  // number written. Only 4294967295 coincides with -1, no upper bound.
  const std::vector<std::pair<const char*, std::uint32_t>> cases = {
      {"x [2147483647]", 2147483647u},    {"x [2147483648]", 2147483648u},
      {"x [0..3000000000]", 3000000000u}, {"x [0..99999999999]", 4294967295u},
      {"x [0..32b]", 4294967295u},
  };
  for (const auto& [text, max] : cases) {
    Parsed parsed(std::string("T ") + text + ";");
    EXPECT_EQ(parsed.output, "") << text;
    EXPECT_EQ(static_cast<std::uint32_t>(parsed.first()->cardinality_max()), max) << text;
  }
}

TEST(Cardinality, MaskCountThatCannotBeConverted) {
  Parsed parsed("T x [40b];");
  EXPECT_EQ(parsed.output, "ERROR: Unable to convert 40b to numerical value\n");
  EXPECT_EQ(parsed.source.ctx.errors, 1);
  EXPECT_EQ(parsed.source.captured.run.errors, 1);
}

TEST(Tag, ReplacesTheNameAndMayBeUntagged) {
  Parsed parsed("T a as ?; T b as ?t; T c as t{; T d as a(b-[\"; T e as *;");
  EXPECT_EQ(parsed.output, "");
  EXPECT_EQ(parsed.first()->tag(), "");
  EXPECT_EQ(parsed.at(1)->tag(), "t");
  EXPECT_EQ(parsed.at(2)->tag(), "t{");
  EXPECT_EQ(parsed.at(3)->tag(), "a(b-[\"");
  EXPECT_EQ(parsed.at(4)->tag(), "*");
  EXPECT_EQ(parsed.at(1)->name(), "b");
}

TEST(Tag, BadTagsAreSkippedUntilAGoodOne) {
  Parsed parsed("T a as 9x -y t;");
  EXPECT_EQ(parsed.output, error_at(1, "Illegal tag format") + error_at(1, "Illegal tag format"));
  EXPECT_EQ(parsed.first()->tag(), "t");
  const std::string longest(63, 't');
  Parsed lengths("T a as " + std::string(64, 't') + " ?" + std::string(63, 't') + " " + longest +
                 ";");
  EXPECT_EQ(lengths.output,
            error_at(1, "Identifier name exceeds 63 characters: " + std::string(64, 't')) +
                error_at(1, "Identifier name exceeds 63 characters: ?" + std::string(63, 't')));
  EXPECT_EQ(lengths.first()->tag(), longest);
  Parsed eof("T a as\n");
  EXPECT_EQ(eof.output, error_at(2, "Encountered premature end of file"));
}

TEST(Tag, AnEmptyTagWordIsReportedOnce) {
  Parsed semicolon("T x as ;");
  EXPECT_EQ(semicolon.output, error_at(1, "Illegal tag format"));
  EXPECT_EQ(semicolon.first()->tag(), "x");
  EXPECT_EQ(semicolon.source.ctx.errors, 1);
  EXPECT_EQ(semicolon.source.ctx.state, PS_END_BLOCK);
  Parsed comma("T x as , ;");
  EXPECT_EQ(comma.output, error_at(1, "Illegal tag format") + error_at(1, "Unexpected token ,"));
  // A word made of NUL bytes only is read, so it is a bad tag like any other.
  Parsed nul(std::string_view("T x as \0\0 ;", 11));
  EXPECT_EQ(nul.output, error_at(1, "Illegal tag format") + error_at(1, "Illegal tag format"));
  EXPECT_EQ(nul.first()->tag(), "x");
}

TEST(Recovery, DropsTokensToTheEndOfTheStatementOrBlock) {
  Parsed semicolon("float<half> h x { y ;\nbool b;");
  EXPECT_EQ(semicolon.output, error_at(1, "Unrecognised float constraint: half"));
  EXPECT_EQ(semicolon.first()->name(), std::string(kUnsetText));
  EXPECT_EQ(semicolon.at(1)->name(), "b");
  // A "}" in recovery ends the block that holds the statement.
  Parsed brace("struct S { float<half> h } ;\nbool d;");
  EXPECT_EQ(brace.output, error_at(1, "Unrecognised float constraint: half"));
  EXPECT_EQ(brace.first()->children()->name(), std::string(kUnsetText));
  EXPECT_EQ(brace.at(1)->name(), "d");
  Parsed eof("float<half> h\n");
  EXPECT_EQ(eof.output, error_at(1, "Unrecognised float constraint: half") +
                            error_at(2, "Encountered premature end of file"));
}

TEST(TagOrder, UntaggedElementsMustComeFirst) {
  Parsed good("T a as ?; T b; T c;");
  EXPECT_EQ(good.output, "");
  Parsed bad("T b;\nT a as ?;\nT c as ?;");
  EXPECT_EQ(bad.output, error_at(2, "Illegal untagged item after tagged items") +
                            error_at(3, "Illegal untagged item after tagged items"));
  // Each body has its own order.
  Parsed bodies("T b; struct S { T a as ?; } as ?;");
  EXPECT_EQ(bodies.output, error_at(1, "Unexpected token as") + error_at(1, "Unexpected token ?"));
  Parsed body_order("T b; struct S as ? { T a as ?; };");
  EXPECT_EQ(body_order.output, error_at(1, "Illegal untagged item after tagged items"));
  // An element that never completes sets nothing.
  Parsed abandoned("T b [? x; T a as ?;");
  EXPECT_EQ(abandoned.output, error_at(1, "Illegal cardinality format"));
}

TEST(CombinedType, MembersAreCheckedAndUntagged) {
  Parsed good("combi Q { int<0..9> a; const <X> k; unquoted-ascii<3> u; };");
  EXPECT_EQ(good.output, "");
  for (Element* member = good.first()->children(); member != nullptr; member = member->next()) {
    EXPECT_EQ(member->tag(), "") << member->name();
  }
  Parsed bad(
      "combi Q {\n ascii s;\n const <9x> k;\n unquoted-ascii<1..3> u;\n unquoted-ascii v;\n"
      " const <> e;\n unquoted-ascii<-3..3> w;\n};");
  EXPECT_EQ(bad.output, error_at(6, "Illegal const expression: ") +
                            error_at(8, "Type of s not allowed in constructed type") +
                            error_at(8,
                                     "Const 'k' must begin with non-numerical value in "
                                     "constructed type") +
                            error_at(8, "unquoted ascii 'u' must have a fixed length") +
                            error_at(8, "unquoted ascii 'v' must have a fixed length"));
  // A combined element's own tag order is checked in its block as usual, and
  // only its completion empties the members' tags.
  Parsed abandoned("combi Q { bool a; }");
  EXPECT_EQ(abandoned.first()->children()->tag(), "a");
}

TEST(CombinedType, MembersStillTagOrderedInTheirBody) {
  Parsed parsed("combi Q { int<1> a; int<2> b as ?; };");
  EXPECT_EQ(parsed.output, error_at(1, "Illegal untagged item after tagged items"));
}

}  // namespace
}  // namespace taloq

namespace taloq {
namespace {

// One call of a clause handler: the state it starts in, the input that
// follows, the element's type, and where the handler leaves the parser.
struct Transition {
  std::int32_t from;
  std::int32_t type;
  const char* input;
  std::int32_t to;
  const char* message;  // the one error reported, or empty
};

TEST(StateTransitions, EachHandlerOnOneInput) {
  const std::vector<Transition> cases = {
      {PS_AFTER_TYPE, ET_INTEGER, "<", PS_CONSTRAINT, ""},
      {PS_AFTER_TYPE, ET_ASCII, "name", PS_AFTER_NAME, ""},
      {PS_AFTER_TYPE, ET_ASCII, "9", PS_AFTER_TYPE, "Invalid format for an identifier: 9"},
      {PS_AFTER_TYPE, ET_ASCII, "", PS_END_BLOCK, "Encountered premature end of file"},
      {PS_CONSTRAINT, ET_INTEGER, "1..2>", PS_NAME, ""},
      {PS_CONSTRAINT, ET_INTEGER, ">", PS_NAME, ""},
      {PS_CONSTRAINT, ET_INTEGER, "x", PS_RECOVER, "Invalid type constraint"},
      {PS_CONSTRAINT, ET_FLOAT, "single>", PS_NAME, ""},
      {PS_CONSTRAINT, ET_FLOAT, "single x", PS_RECOVER, ""},
      {PS_CONSTRAINT, ET_FLOAT, "x", PS_RECOVER, "Unrecognised float constraint: x"},
      {PS_NAME, ET_BOOLEAN, "n", PS_AFTER_NAME, ""},
      {PS_NAME, ET_BOOLEAN, "-", PS_NAME, "Invalid format for an identifier: -"},
      {PS_NAME, ET_BOOLEAN, " ", PS_END_BLOCK, "Encountered premature end of file"},
      {PS_AFTER_NAME, ET_BOOLEAN, "[", PS_CARDINALITY, ""},
      {PS_AFTER_NAME, ET_BOOLEAN, "as", PS_TAG, ""},
      {PS_AFTER_NAME, ET_BOOLEAN, "plugin", PS_AFTER_NAME, ""},
      {PS_AFTER_NAME, ET_BOOLEAN, "exec", PS_AFTER_NAME, ""},
      {PS_AFTER_NAME, ET_STRUCT, "{}", PS_AFTER_TAG, ""},
      {PS_AFTER_NAME, ET_BOOLEAN, "{", PS_AFTER_NAME, "Illegal opening { character"},
      {PS_AFTER_NAME, ET_BOOLEAN, ";", PS_STATEMENT, ""},
      {PS_AFTER_NAME, ET_BOOLEAN, "]", PS_AFTER_NAME, "Unexpected token: ]"},
      {PS_AFTER_NAME, ET_BOOLEAN, "", PS_END_BLOCK, "Encountered premature end of file"},
      {PS_CARDINALITY, ET_BOOLEAN, "?]", PS_AFTER_CARDINALITY, ""},
      {PS_CARDINALITY, ET_BOOLEAN, "*x", PS_RECOVER, "Illegal cardinality format"},
      {PS_CARDINALITY, ET_BOOLEAN, "1..3]", PS_AFTER_CARDINALITY, ""},
      {PS_CARDINALITY, ET_BOOLEAN, "x", PS_CARDINALITY, "Illegal cardinality format"},
      {PS_CARDINALITY, ET_BOOLEAN, "-1", PS_CARDINALITY, "Illegal negative value in cardinality"},
      {PS_CARDINALITY, ET_BOOLEAN, "", PS_END_BLOCK, "Encountered premature end of file"},
      {PS_AFTER_CARDINALITY, ET_BOOLEAN, "as", PS_TAG, ""},
      {PS_AFTER_CARDINALITY, ET_BOOLEAN, "[", PS_AFTER_CARDINALITY, "Unexpected token ["},
      {PS_AFTER_CARDINALITY, ET_UNION, "{}", PS_AFTER_TAG, ""},
      {PS_AFTER_CARDINALITY, ET_BOOLEAN, ";", PS_STATEMENT, ""},
      {PS_TAG, ET_BOOLEAN, "t", PS_AFTER_TAG, ""},
      {PS_TAG, ET_BOOLEAN, "9", PS_TAG, "Illegal tag format"},
      {PS_TAG, ET_BOOLEAN, ";", PS_AFTER_TAG, "Illegal tag format"},
      {PS_TAG, ET_BOOLEAN, "", PS_END_BLOCK, "Encountered premature end of file"},
      {PS_AFTER_TAG, ET_BOOLEAN, "as", PS_AFTER_TAG, "Unexpected token as"},
      {PS_AFTER_TAG, ET_COMBINED, "{}", PS_AFTER_TAG, ""},
      {PS_AFTER_TAG, ET_BOOLEAN, "smark", PS_AFTER_TAG, ""},
      {PS_AFTER_TAG, ET_BOOLEAN, ";", PS_STATEMENT, ""},
      {PS_RECOVER, ET_BOOLEAN, "a b [ { ;", PS_STATEMENT, ""},
      {PS_RECOVER, ET_BOOLEAN, "a }", PS_END_BLOCK, ""},
      {PS_RECOVER, ET_BOOLEAN, "a", PS_END_BLOCK, "Encountered premature end of file"},
  };
  for (const Transition& c : cases) {
    TextSource source(c.input);
    BracketFrame frame;
    source.ctx.brackets = &frame;
    source.ctx.depth = 1;
    Element& element = *create_element(source.ctx);
    element.set_type(c.type);
    element.set_tag("e");
    element.set_name(element.tag());
    source.ctx.state = c.from;
    run_clause_handler(source.ctx, &element);
    const std::string label = std::to_string(c.from) + " '" + c.input + "'";
    EXPECT_EQ(source.ctx.state, c.to) << label;
    EXPECT_EQ(source.captured.text(), *c.message ? error_at(1, c.message) : "") << label;
  }
}

}  // namespace
}  // namespace taloq
