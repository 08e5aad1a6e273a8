#include "lex/buffer_tokens.h"

#include <array>

#include "lex/char_class.h"
#include "lex/keyword_slots.h"
#include "lex/tokenizer.h"
#include "source/parse_context.h"

namespace taloq {
namespace {

constexpr std::array<bool, 256> kBlankBytes = [] {
  std::array<bool, 256> bytes{};
  for (int c = 0; c < 256; ++c) bytes[static_cast<std::size_t>(c)] = is_space(c);
  return bytes;
}();

constexpr std::array<bool, 256> kWordBytes = [] {
  std::array<bool, 256> bytes{};
  for (int c = 0; c < 256; ++c) bytes[static_cast<std::size_t>(c)] = is_word_char(c);
  return bytes;
}();

int byte_at(std::string_view text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : -1;
}

// A token ending at `end` is final unless the character after it, which the
// reader takes and gives back, opens a comment: reading that consumes it.
std::size_t unless_slash_follows(std::string_view rest, std::size_t end) {
  return byte_at(rest, end) == '/' ? 0 : end;
}

// The first character is already known to begin a word.
std::size_t word_length(std::string_view rest) {
  const std::size_t limit = rest.size() < kMaxTokenScan ? rest.size() : kMaxTokenScan;
  std::size_t end = 1;
  while (end < limit && kWordBytes[static_cast<unsigned char>(rest[end])]) ++end;
  return unless_slash_follows(rest, end);
}

// Plain decimals only: "-" alone, leading zeros, "0x" and a 'b' suffix are
// the character reader's.
std::size_t number_length(std::string_view rest) {
  std::size_t end = rest[0] == '-' ? 1 : 0;
  if (byte_at(rest, end) == '0') {
    ++end;
    const int next = byte_at(rest, end);
    if (is_digit(next) || next == 'x' || next == 'X') return 0;
  } else {
    // Stop at the split length: a longer run is the character reader's, and
    // scanning it whole here would cost a pass per 128-digit piece.
    const std::size_t digits = end;
    while (end < kMaxTokenScan && is_digit(byte_at(rest, end))) ++end;
    if (end == digits) return 0;
  }
  const int next = byte_at(rest, end);
  if (end >= kMaxTokenScan || next == 'b' || next == 'B') return 0;
  return unless_slash_follows(rest, end);
}

// One character, or a run of up to three dots; the reader reads past a run
// of dots (even past "...") and gives that character back.
std::size_t punct_length(std::string_view rest) {
  if (rest[0] == '\0' || rest[0] == '/') return 0;
  if (rest[0] != '.') return 1;
  std::size_t end = 1;
  while (end < 3 && byte_at(rest, end) == '.') ++end;
  return unless_slash_follows(rest, end);
}

// A word's or punctuation's code: a keyword of the table, else a word (a
// lone '+' opening a statement is the table's, a character of no meaning a
// word).
template <std::size_t (*length_of)(std::string_view)>
MeasuredToken text_token(std::string_view rest) {
  const std::size_t length = length_of(rest);
  return {length, keyword_or(rest.substr(0, length), TK_WORD)};
}

}  // namespace

MeasuredToken measure_ordinary_token(std::string_view rest) {
  if (rest.empty()) return {};
  const auto c = static_cast<unsigned char>(rest[0]);
  if (is_letter(c) || c == '_') return text_token<word_length>(rest);
  if (is_digit(c) || c == '-') return {number_length(rest), TK_NUMBER};
  return text_token<punct_length>(rest);
}

MeasuredToken measure_statement_token(std::string_view rest) {
  if (rest.empty()) return {};
  const auto c = static_cast<unsigned char>(rest[0]);
  if (is_letter(c) || c == '+') return text_token<word_length>(rest);
  // A digit opening a statement is read as one character, yet is a number.
  if (is_digit(c)) return {punct_length(rest), TK_NUMBER};
  return text_token<punct_length>(rest);
}

std::size_t count_plain_blanks(std::string_view rest, int& line) {
  std::size_t taken = 0;
  while (taken < rest.size() && kBlankBytes[static_cast<unsigned char>(rest[taken])]) {
    line += rest[taken] == '\n';
    ++taken;
  }
  return taken;
}

namespace {

// Most tokens are taken whole from the buffer; `measure` tells when one can
// be, how long it is and its code. It lives beside the scans so that they
// are inlined into the one loop every token passes through. Blanks before
// the token are skipped either way, so the character reader carries on
// from the same place when it cannot.
static_assert(CharStream::kLookahead > 2 * kMaxTokenScan,
              "the view ahead of a token usually holds it whole");

template <MeasuredToken (*measure)(std::string_view)>
bool take_from_buffer(ParseContext& ctx, TokenText& text, Token& token) {
  CharStream& stream = *ctx.stream;
  if (stream.has_pending()) return false;
  const std::string_view rest = stream.unread_text();
  const std::size_t blanks = count_plain_blanks(rest, ctx.line);
  // A token measured up to the end of a view that is not the end of the
  // text could be cut short there; the character reader reads on.
  const bool cut_short = stream.may_grow() && rest.size() - blanks <= kMaxTokenScan;
  const MeasuredToken measured = cut_short ? MeasuredToken{} : measure(rest.substr(blanks));
  if (measured.length == 0) {
    stream.skip(blanks);
    return false;
  }
  ctx.token_start = stream.position() + blanks;
  text.borrow(rest.data() + blanks, measured.length);
  stream.skip(blanks + measured.length);
  token = measured.token;
  return true;
}

}  // namespace

Token next_token(ParseContext& ctx, TokenText& text) {
  Token token;
  if (take_from_buffer<measure_ordinary_token>(ctx, text, token)) return token;
  return next_token_by_characters(ctx, text);
}

Token next_statement_token(ParseContext& ctx, TokenText& text) {
  Token token;
  if (take_from_buffer<measure_statement_token>(ctx, text, token)) return token;
  return next_statement_token_by_characters(ctx, text);
}

}  // namespace taloq
