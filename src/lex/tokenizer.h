#pragma once

#include <cstddef>
#include <string>

#include "lex/token.h"
#include "source/parse_context.h"

namespace taloq {

// Longest text a word, number or raw word scan appends before it stops.
inline constexpr std::size_t kMaxTokenScan = 128;

// Texts are NUL-terminated in the model: a NUL byte read from the input
// ends the text there, for every later check, copy and message.
void cut_at_nul(std::string& text);

// The token at an ordinary position: a number (a digit or '-' first), a word
// (a letter or '_' first), or punctuation.
Token next_token(ParseContext& ctx, TokenText& text);

// The first token of a statement: a word when it starts with a letter or
// '+', otherwise punctuation of one character (or ".." / "...").
Token next_statement_token(ParseContext& ctx, TokenText& text);

// The two readers above without their fast path, which takes most tokens
// whole from the buffer: one character at a time, the behaviour the fast
// path must match exactly. For tests and for the fast path's fallback.
Token next_token_by_characters(ParseContext& ctx, TokenText& text);
Token next_statement_token_by_characters(ParseContext& ctx, TokenText& text);

// A name taken as written: everything up to white space, ';', ',' or end of
// file (at most 128 characters). Always TK_WORD, except TK_EOF with an
// empty text at end of file. `raw_length`, when given, receives the number
// of characters read before any NUL cut.
Token read_raw_word(ParseContext& ctx, TokenText& text, std::size_t* raw_length = nullptr);

// The code of a token text: a number, a keyword-table entry, or a word.
Token classify_token(std::string_view text);

}  // namespace taloq
