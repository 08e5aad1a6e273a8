// The parser's clause handlers, one call each, and the texts of the model.
// What whole definitions parse to, and every message, is in the golden cases
// (tests/golden/parse_*).

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "driver/run_context.h"
#include "parse/block_parser.h"
#include "parse/clauses.h"
#include "parse/model_region.h"
#include "parse/name_hash.h"
#include "parse/text.h"
#include "source/module_record.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::TextSource;

std::string error_at(int line, std::string_view message) {
  return "t.tlq(" + std::to_string(line) + ") : error: " + std::string(message) + "\n";
}

// One call of a clause handler: the state it starts in, the element's type,
// the input that follows, where the handler leaves the parser and the one
// error it reports, if any.
struct Transition {
  std::int32_t from;
  std::int32_t type;
  const char* input;
  std::int32_t to;
  const char* message;
};

TEST(Parser, EachClauseHandlerOnOneInput) {
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

TEST(Parser, RoomForTheBackEndInEveryElement) {
  TextSource source("");
  source.captured.run.extra_bytes = 16;
  Element* element = create_element(source.ctx);
  ASSERT_NE(element->extra(), nullptr);
  element->extra()[15] = std::byte{1};  // the room is usable to its end
  EXPECT_NE(create_element(source.ctx)->extra(), element->extra());
}

// Small cardinalities are packed into the element and the rest kept apart;
// either way each bound reads back as set, in whichever order it was set.
TEST(Parser, CardinalitiesReadBackAsSet) {
  struct Bounds {
    std::uint32_t min;
    std::int32_t max;
  };
  const Bounds table[] = {
      {0, -1},  {0, 1}, {1, -1},           {15, 14},        {15, -1}, {0, 15},
      {16, 16}, {9, 1}, {2147483648u, -1}, {0, 2147483647}, {3, 3},
  };
  TextSource source("");
  Element* element = create_element(source.ctx);
  for (const Bounds& from : table) {
    for (const Bounds& to : table) {
      element->set_cardinality_min(from.min);
      element->set_cardinality_max(from.max);
      element->set_cardinality_max(to.max);
      element->set_cardinality_min(to.min);
      ASSERT_EQ(element->cardinality_min(), to.min) << from.min << ".." << from.max;
      ASSERT_EQ(element->cardinality_max(), to.max) << from.min << ".." << from.max;
    }
  }
}

// Elements name their module in 16 bits: one module past the limit fails as
// an exhausted model does, and the modules before it keep their handles.
TEST(Parser, ModuleHandlesStopAtTheirLimit) {
  RegionHeader header;
  std::vector<ModuleRecord> modules(kMaxModules + 1);
  for (std::size_t i = 0; i < kMaxModules; ++i) {
    ASSERT_EQ(header.module_id(&modules[i]), i + 1);
  }
  EXPECT_THROW(header.module_id(&modules[kMaxModules]), std::bad_alloc);
  EXPECT_EQ(header.module_id(&modules[0]), 1);
  EXPECT_EQ(header.module_id(&modules[kMaxModules - 1]), kMaxModules);
  EXPECT_THROW(header.module_id(&modules[kMaxModules]), std::bad_alloc);
}

TEST(Parser, TextsAreKeptCopiesThatEndAtANul) {
  TextPool pool;
  std::vector<Text> kept;
  std::vector<std::string> expected;
  // Enough texts to fill several blocks, with a few that get a block each.
  for (std::size_t i = 0; i < 20000; ++i) {
    std::string source(i % 7 == 0 ? 20000 + i : i % 300, static_cast<char>('a' + i % 26));
    kept.push_back(pool.keep(source));
    expected.push_back(source);
    source.assign(source.size(), '#');  // the copy must not follow the source
  }
  std::set<const char*> starts;
  for (std::size_t i = 0; i < kept.size(); ++i) {
    ASSERT_EQ(kept[i].view(), expected[i]) << i;
    ASSERT_EQ(kept[i].c_str()[kept[i].size()], '\0') << i;
    if (!expected[i].empty()) {
      EXPECT_TRUE(starts.insert(kept[i].c_str()).second) << i;
    }
  }
  EXPECT_EQ(pool.keep(std::string("ab\0cd", 5)).view(), "ab");
  EXPECT_EQ(pool.join("Msg", "_", "hdr"), "Msg_hdr");
  const Text absent = Text::null();
  EXPECT_TRUE(absent.is_null() && absent.empty() && absent == Text());
  const Text name = pool.keep("Msg");
  EXPECT_TRUE(name == "Msg" && name == std::string("Msg") && name == Text("Msg"));
  EXPECT_FALSE(name == "msg" || name == Text("Ms"));
  EXPECT_EQ(std::string("x::") + name + "_" + "hdr", "x::Msg_hdr");
}

TEST(Parser, RegionTextsAreKeptOnceEach) {
  ModelRegion region;
  TextPool pool(&region);
  // Past the first table size, so that the table grows and keeps its texts.
  constexpr int kTexts = 5000;
  std::vector<Text> first;
  for (int i = 0; i < kTexts; ++i) first.push_back(pool.keep("n" + std::to_string(i)));
  std::set<const char*> starts;
  for (int i = 0; i < kTexts; ++i) {
    const std::string text = "n" + std::to_string(i);
    const Text again = pool.keep(text);
    ASSERT_TRUE(again.same_storage(first[static_cast<std::size_t>(i)])) << text;
    ASSERT_EQ(again.view(), text);
    starts.insert(again.c_str());
  }
  EXPECT_EQ(starts.size(), static_cast<std::size_t>(kTexts));
  EXPECT_EQ(pool.keep("n").view(), "n");
  // A text with a NUL of its own reads up to it and is never shared.
  const std::string with_nul("ab\0cd", 5);
  const Text a = pool.keep(with_nul);
  EXPECT_EQ(a.view(), "ab");
  EXPECT_FALSE(a.same_storage(pool.keep(with_nul)));
  // Two names of the same length and hash (found by search: a 32-bit hash
  // repeats within some hundred thousand names) are still two texts.
  std::unordered_map<std::uint32_t, std::string> seen;
  std::string one;
  std::string other;
  for (int i = 100000; one.empty(); ++i) {
    std::string name = "h" + std::to_string(i);
    const auto [at, added] = seen.try_emplace(hash_name(name), name);
    if (!added) {
      one = at->second;
      other = name;
    }
  }
  EXPECT_EQ(pool.keep(one).view(), one);
  EXPECT_EQ(pool.keep(other).view(), other);
  EXPECT_EQ(pool.keep(one).view(), one);
}

}  // namespace
}  // namespace taloq
