#include "lex/char_stream.h"

#include <gtest/gtest.h>

#include <string>

namespace taloq {
namespace {

// Everything get() returns from here to end of file.
std::string rest_of(CharStream& stream) {
  std::string seen;
  for (int c = stream.get(); c != kEof; c = stream.get()) seen += static_cast<char>(c);
  return seen;
}

TEST(CharStream, GivingBackTheLastCharacterStepsBackInTheText) {
  CharStream stream("ab");
  EXPECT_EQ(stream.get(), 'a');
  stream.unget('a');
  EXPECT_FALSE(stream.has_pending());
  EXPECT_EQ(stream.unread_text(), "ab");
  EXPECT_EQ(rest_of(stream), "ab");

  // A folded "\r\n" steps back whole and folds again.
  CharStream crlf("\r\nx");
  EXPECT_EQ(crlf.get(), '\n');
  crlf.unget('\n');
  EXPECT_FALSE(crlf.has_pending());
  EXPECT_EQ(rest_of(crlf), "\nx");
}

TEST(CharStream, OtherCharactersAreHeldInOrder) {
  // A stand-in (a comment reads as ' ') is held, not stepped back to.
  CharStream stand_in("ab");
  EXPECT_EQ(stand_in.get(), 'a');
  stand_in.unget(' ');
  EXPECT_TRUE(stand_in.has_pending());
  EXPECT_EQ(rest_of(stand_in), " b");

  // Two characters given back, the later first: one step back, one held.
  CharStream two("abc");
  EXPECT_EQ(two.get(), 'a');
  EXPECT_EQ(two.get(), 'b');
  two.unget('b');
  two.unget('a');
  EXPECT_EQ(rest_of(two), "abc");

  // A held character read and given back again is held again.
  CharStream held("ab");
  EXPECT_EQ(held.get(), 'a');
  held.unget('x');
  EXPECT_EQ(held.get(), 'x');
  held.unget('x');
  EXPECT_EQ(rest_of(held), "xb");
}

TEST(CharStream, EndOfFileIsNeverGivenBack) {
  CharStream stream("a");
  EXPECT_EQ(stream.get(), 'a');
  EXPECT_EQ(stream.get(), kEof);
  stream.unget(kEof);
  EXPECT_FALSE(stream.has_pending());
  EXPECT_EQ(stream.get(), kEof);
}

}  // namespace
}  // namespace taloq
