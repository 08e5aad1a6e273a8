#include "parse/text.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>

namespace taloq {
namespace {

TEST(Text, HoldsShortAndLongTexts) {
  for (const std::size_t length : {0, 1, 15, 22, 23, 24, 64, 300}) {
    const std::string source(length, 'x');
    const Text text(source);
    EXPECT_EQ(text.size(), length);
    EXPECT_EQ(text.view(), source);
    EXPECT_EQ(std::string(text.c_str()), source) << "NUL-terminated at " << length;
  }
  EXPECT_TRUE(Text().empty());
  EXPECT_STREQ(Text().c_str(), "");
  Text cleared("x");
  cleared = std::string_view();  // a view without storage at all
  EXPECT_STREQ(cleared.c_str(), "");
}

TEST(Text, AssignsBetweenInlineAndHeap) {
  Text text("short");
  text = std::string(40, 'a');
  EXPECT_EQ(text.view(), std::string(40, 'a'));
  text = std::string(30, 'b');  // reuses the heap room
  EXPECT_EQ(text.view(), std::string(30, 'b'));
  text = "again short";
  EXPECT_EQ(text.view(), "again short");
  text = std::string(100, 'c');
  EXPECT_EQ(text.size(), 100u);
}

TEST(Text, AssignsFromItsOwnContent) {
  Text short_text("?tag");
  short_text.assign(short_text.view().substr(1));
  EXPECT_EQ(short_text.view(), "tag");
  Text long_text(std::string(50, 'q') + "end");
  long_text.assign(long_text.view().substr(45));
  EXPECT_EQ(long_text.view(), "qqqqqend");
  Text grow(std::string(20, 'g'));
  grow += grow.view();
  EXPECT_EQ(grow.view(), std::string(40, 'g'));
}

TEST(Text, CopiesAndMovesAreIndependent) {
  Text a(std::string(30, 'a'));
  Text b = a;
  b += "!";
  EXPECT_EQ(a.size(), 30u);
  EXPECT_EQ(b.size(), 31u);
  Text c = std::move(b);
  EXPECT_EQ(c.size(), 31u);
  EXPECT_TRUE(b.empty());  // NOLINT: a moved-from Text is empty
  c = a;
  EXPECT_EQ(c, a);
  a = std::move(c);
  EXPECT_EQ(a.size(), 30u);
}

TEST(Text, ComparesAndJoinsLikeAString) {
  const Text name("Msg");
  EXPECT_TRUE(name == "Msg");
  EXPECT_FALSE(name == "msg");
  EXPECT_TRUE(name == std::string("Msg"));
  EXPECT_EQ(name + "_" + "hdr", "Msg_hdr");
  EXPECT_EQ(std::string("x::") + name, "x::Msg");
  EXPECT_TRUE(name.starts_with('M'));
  EXPECT_EQ(name.find('g'), 2u);
  std::ostringstream out;
  out << name;
  EXPECT_EQ(out.str(), "Msg");
}

}  // namespace
}  // namespace taloq
