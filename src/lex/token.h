#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace taloq {

// Token codes: 0 to 46 for the texts of the keyword table, then the codes
// given by the kind of text.
enum Token : int {
#define TALOQ_TOKEN(code, text) code,
#include "lex/token_table.def"
#undef TALOQ_TOKEN
  TK_NUMBER,
  TK_WORD,
  TK_EOF,
};

// The text of one token as a reader delivered it (at most 130 characters).
using TokenText = std::string;

struct KeywordEntry {
  std::string_view text;
  Token token;
};

inline constexpr std::array<KeywordEntry, 47> keyword_table = {{
#define TALOQ_TOKEN(code, text) {text, code},
#include "lex/token_table.def"
#undef TALOQ_TOKEN
}};

// The keyword-table token whose text is exactly `text`, if any. A hash
// lookup: the cost does not grow with the table.
std::optional<Token> lookup_keyword(std::string_view text);

}  // namespace taloq
