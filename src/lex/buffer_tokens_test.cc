#include "lex/buffer_tokens.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace taloq {
namespace {

using Cases = std::vector<std::pair<std::string, std::size_t>>;

TEST(BufferTokens, OrdinaryTokensTakenWholeOrLeftToTheReader) {
  const Cases cases = {
      {"abc def", 3},
      {"a.b-c:d_e;", 9},
      {"abc", 3},
      {"ab/* c */", 0},  // the comment is read together with the word
      {"ab/x", 0},
      {std::string(128, 'w'), 128},
      {std::string(130, 'w'), 128},  // the 129th character begins the next word
      {"12;", 2},
      {"-12 ", 3},
      {"0..9", 1},
      {"-0]", 2},
      {"0", 1},
      {"007", 0},  // leading zeros are dropped
      {"0x1F", 0},
      {"5b", 0},
      {"5B", 0},
      {"5/", 0},
      {"-", 0},
      {"-x", 0},
      {";", 1},
      {"{x", 1},
      {"\xE9", 1},
      {"..5", 2},
      {"...x", 3},
      {"....", 3},
      {"../", 0},
      {".../", 0},
      {". ", 1},
      {std::string(1, '\0'), 0},
      {"/", 0},
      {"", 0},
  };
  for (const auto& [text, length] : cases) {
    EXPECT_EQ(ordinary_token_length(text), length) << '"' << text << '"';
  }
}

TEST(BufferTokens, StatementTokensBeginWordsWithLettersOrPlus) {
  const Cases cases = {
      {"+core.types;", 11},
      {"struct{", 6},
      {"_x", 1},
      {"5", 1},
      {"-", 1},
      {"..", 2},
      {"a/", 0},
      {"", 0},
  };
  for (const auto& [text, length] : cases) {
    EXPECT_EQ(statement_token_length(text), length) << '"' << text << '"';
  }
}

}  // namespace
}  // namespace taloq
