// Where each token begins, as every reader records it in the parse context:
// an editor finds the token under its cursor from this.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "lex/tokenizer.h"
#include "test_support.h"

namespace taloq {
namespace {

using Reader = Token (*)(ParseContext&, TokenText&);

Token raw_word(ParseContext& ctx, TokenText& text) {
  return read_raw_word(ctx, text);
}

std::vector<std::size_t> starts_of(std::string_view text, Reader reader) {
  testing::TextSource source(text);
  std::vector<std::size_t> starts;
  TokenText token_text;
  while (reader(source.ctx, token_text) != TK_EOF && starts.size() < 100) {
    starts.push_back(source.ctx.token_start);
  }
  return starts;
}

TEST(TokenStart, IsTheOffsetOfTheTokensFirstCharacterForEveryReader) {
  struct Case {
    const char* text;
    Reader reader;
    std::vector<std::size_t> starts;
  };
  const std::vector<Case> cases = {
      {"int<0..9> a;", next_token, {0, 3, 4, 5, 7, 8, 10, 11}},
      // Comments and line ends before a token, taken through the buffer or
      // a character at a time.
      {"a /* x\r\n */b // c\n  C::Id", next_token, {0, 11, 20}},
      {"/*c*/x", next_token, {5}},
      // A lone '/' is a word of its own; the one after it starts behind it.
      {"/ a/b", next_token, {0, 2, 3, 4}},
      {"_x -5", next_statement_token, {0, 1, 3, 4}},
      {"  Acme.Common as C", raw_word, {2, 14, 17}},
  };
  for (const Case& c : cases) EXPECT_EQ(starts_of(c.text, c.reader), c.starts) << c.text;
}

}  // namespace
}  // namespace taloq
