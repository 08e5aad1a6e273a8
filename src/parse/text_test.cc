#include "parse/text.h"

#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>

namespace taloq {

TEST(Text, BorrowsLiteralsAndReadsNullAsEmpty) {
  const Text empty;
  EXPECT_TRUE(empty.empty());
  EXPECT_FALSE(empty.is_null());
  EXPECT_STREQ(empty.c_str(), "");
  const Text absent = Text::null();
  EXPECT_TRUE(absent.is_null());
  EXPECT_TRUE(absent.empty());
  EXPECT_STREQ(absent.c_str(), "");
  EXPECT_EQ(absent, empty);  // both read as ""
  const Text literal("Msg");
  EXPECT_EQ(literal.size(), 3u);
  EXPECT_FALSE(literal.starts_with('\0'));
}

TEST(TextPool, KeepsCopiesThatOutliveTheSource) {
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
}

TEST(TextPool, JoinsPartsAndCutsAtANul) {
  TextPool pool;
  EXPECT_EQ(pool.join("Msg", "_", "hdr"), "Msg_hdr");
  EXPECT_EQ(pool.join("", "", ""), "");
  EXPECT_EQ(pool.bytes_used(), 8u);  // an empty text takes no room
  // The model's texts end at the first NUL, as C strings do.
  EXPECT_EQ(pool.keep(std::string("ab\0cd", 5)).view(), "ab");
}

TEST(Text, ComparesAndJoinsLikeAString) {
  TextPool pool;
  const Text name = pool.keep("Msg");
  const Text copy = name;
  EXPECT_TRUE(copy.same_storage(name));
  EXPECT_TRUE(name == "Msg");
  EXPECT_FALSE(name == "msg");
  EXPECT_TRUE(name == std::string("Msg"));
  EXPECT_TRUE(name == Text("Msg"));
  EXPECT_FALSE(name == Text("Ms"));
  EXPECT_EQ(name + "_" + "hdr", "Msg_hdr");
  EXPECT_EQ(std::string("x::") + name, "x::Msg");
  EXPECT_TRUE(name.starts_with('M'));
  EXPECT_EQ(name.find('g'), 2u);
  std::ostringstream out;
  out << name;
  EXPECT_EQ(out.str(), "Msg");
}

}  // namespace taloq
