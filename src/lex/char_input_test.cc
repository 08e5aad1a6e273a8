#include "lex/char_input.h"

#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace taloq {
namespace {

using testing::TextSource;

// Reads the whole source with next_char, collecting what the token readers
// would see.
std::string comment_free(std::string_view text, int* final_line = nullptr) {
  TextSource source(text);
  std::string seen;
  for (int c = next_char(source.ctx); c != kEof; c = next_char(source.ctx)) {
    seen += static_cast<char>(c);
  }
  if (final_line) *final_line = source.ctx.line;
  return seen;
}

TEST(BlockComment, NestsAndClosesAll) {
  EXPECT_EQ(comment_free("a/* x */b"), "a b");
  EXPECT_EQ(comment_free("a/* /* x */ y */b"), "a b");
  // Two stars and a slash close every open level at once.
  EXPECT_EQ(comment_free("a/* /* x **/b"), "a b");
  // A slash right after the opening does not pair with its star.
  EXPECT_EQ(comment_free("a/*/ x */b"), "a b");
  // Overlapping pairs: slash-star-slash opens then closes.
  EXPECT_EQ(comment_free("a/* x /*/ y */b"), "a b");
}

TEST(BlockComment, MarkerCommentsEndOnlyAtTheMarker) {
  EXPECT_EQ(comment_free("a/**taloq*/b"), "a b");
  EXPECT_EQ(comment_free("a/** x */ y taloq*/b"), "a b");
  // "/*" directly followed by "*/" is a marker comment, not an empty one.
  EXPECT_EQ(comment_free("a/**/b"), "a ");
  EXPECT_EQ(comment_free("a/***/b taloq*/c"), "a c");
  // The five letters must stand directly before the closing, in lower case.
  EXPECT_EQ(comment_free("a/** taloq */b"), "a ");
  EXPECT_EQ(comment_free("a/** TALOQ*/b"), "a ");
  // An ordinary comment ending in the marker ends there like any other.
  EXPECT_EQ(comment_free("a/* x taloq*/b"), "a b");
}

TEST(BlockComment, OverlappingPairsAndCloseAllLeaveNothingBehind) {
  // Star-slash-star closes a level, then opens one again.
  EXPECT_EQ(comment_free("a/* /* x */* y */ */b"), "a b");
  EXPECT_EQ(comment_free("a/* x */* y */b"), "a * y */b");
  // Close-all ends the comment with a nested level still open.
  EXPECT_EQ(comment_free("a/* /* /* x **/b */c"), "a b */c");
  // A star and a slash separated by anything do not close.
  EXPECT_EQ(comment_free("a/* * / */b"), "a b");
  // Three stars: the close-all flag is cleared by any other pair.
  EXPECT_EQ(comment_free("a/* /* **x*/ y */b"), "a b");
  // "/*" followed by two stars and a slash is a marker comment.
  EXPECT_EQ(comment_free("a/***/b"), "a ");
  // A marker comment ignores nesting and the close-all form.
  EXPECT_EQ(comment_free("a/** /* **/ */ taloq*/b"), "a b");
  EXPECT_EQ(comment_free("a/**taloq*/ taloq*/b"), "a  taloq*/b");
  // The window only holds what came before the star of the closing.
  EXPECT_EQ(comment_free("a/**talo*/q*/b"), "a ");
  EXPECT_EQ(comment_free("a/**xtaloq*/b"), "a b");
}

TEST(BlockComment, NothingAfterTheClosingIsRead) {
  TextSource source("/* c */\nx");
  EXPECT_EQ(next_char(source.ctx), ' ');
  EXPECT_EQ(source.ctx.line, 1);
  EXPECT_EQ(read_char(source.ctx), '\n');
  EXPECT_EQ(source.ctx.line, 2);
}

TEST(BlockComment, EndOfFileEndsTheComment) {
  EXPECT_EQ(comment_free("a/* open"), "a ");
  EXPECT_EQ(comment_free("a/*"), "a ");
  EXPECT_EQ(comment_free("a/** open"), "a ");
}

TEST(LineComment, ConsumesItsNewline) {
  int line = 0;
  EXPECT_EQ(comment_free("a// x\nb", &line), "a b");
  EXPECT_EQ(line, 2);
  EXPECT_EQ(comment_free("a// last line"), "a ");
}

TEST(Comments, CountNewlinesInside) {
  int line = 0;
  EXPECT_EQ(comment_free("/* 1\n2\n3 */x", &line), " x");
  EXPECT_EQ(line, 3);
}

TEST(Slash, StandsAloneWhenNoCommentFollows) {
  EXPECT_EQ(comment_free("a/b"), "a/b");
  EXPECT_EQ(comment_free("a/"), "a/");
  TextSource source("/x");
  EXPECT_EQ(next_char(source.ctx), '/');
  unread_char(source.ctx, '/');
  EXPECT_EQ(read_char(source.ctx), '/');
  EXPECT_EQ(read_char(source.ctx), 'x');
  EXPECT_EQ(read_char(source.ctx), kEof);
  EXPECT_EQ(read_char(source.ctx), kEof);
}

TEST(PushBack, KeepsTheLineInStep) {
  TextSource source("\nx");
  EXPECT_EQ(read_char(source.ctx), '\n');
  EXPECT_EQ(source.ctx.line, 2);
  unread_char(source.ctx, '\n');
  EXPECT_EQ(source.ctx.line, 1);
  EXPECT_EQ(read_char(source.ctx), '\n');
  EXPECT_EQ(source.ctx.line, 2);
  unread_char(source.ctx, kEof);  // end of file is never pushed back
  EXPECT_EQ(read_char(source.ctx), 'x');
}

TEST(CarriageReturn, BeforeLineFeedIsNotSeen) {
  int line = 0;
  EXPECT_EQ(comment_free("a\r\nb\rc\r", &line), "a\nb\rc\r");
  EXPECT_EQ(line, 2);
}

}  // namespace
}  // namespace taloq
