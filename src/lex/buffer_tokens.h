#pragma once

#include <cstddef>
#include <string_view>

#include "lex/token.h"

namespace taloq {

// Whole tokens measured straight on the source text, for the tokenizer's
// fast path. `rest` starts at the first character of a token (blanks are
// already skipped). The result is the token's length when taking that many
// bytes as the token text is exactly what reading them one character at a
// time would give, the character read past the token and given back
// included; it is 0 when the character reader must take the token: a
// comment may open next to it ('/'), its digits need rewriting (leading
// zeros, hexadecimal, a bit count), it holds a NUL, or it reaches the scan
// limit.
// The code comes with the length, as classify_token would give it for the
// token's text, since the scan already knows what kind of text it measured.
struct MeasuredToken {
  std::size_t length = 0;
  Token token = TK_WORD;
};
MeasuredToken measure_ordinary_token(std::string_view rest);
inline std::size_t ordinary_token_length(std::string_view rest) {
  return measure_ordinary_token(rest).length;
}

// The same for the first token of a statement, where a word begins with a
// letter or '+' and anything else is punctuation.
MeasuredToken measure_statement_token(std::string_view rest);
inline std::size_t statement_token_length(std::string_view rest) {
  return measure_statement_token(rest).length;
}

// The blanks at the start of `rest`, counting the line ends among them into
// `line`. A '\r' is a blank either way, so taking it here cannot differ from
// the reader folding "\r\n" into '\n'. A '/' stops the run: it may open a
// comment, which the character reader handles.
std::size_t count_plain_blanks(std::string_view rest, int& line);

}  // namespace taloq
