#include "lex/tokenizer.h"

#include "lex/buffer_tokens.h"
#include "lex/char_class.h"
#include "lex/char_input.h"

namespace taloq {

void cut_at_nul(std::string& text) {
  const std::size_t nul = text.find('\0');
  if (nul != std::string::npos) text.resize(nul);
}

namespace {

// Consumes the blanks that follow straight from the buffer.
void skip_plain_blanks(ParseContext& ctx) {
  CharStream& stream = *ctx.stream;
  if (stream.has_pending()) return;
  stream.skip(count_plain_blanks(stream.unread_text(), ctx.line));
}

// Called when the first character of a token has just been read: it stands
// directly before the read position, also when it was a '/' given back (a
// pushed-back '/' is the character before the one the text resumes at).
void note_token_start(ParseContext& ctx) {
  const std::size_t position = ctx.stream->position();
  ctx.token_start = position > 0 ? position - 1 : 0;
}

// Skips white space (comments read as blanks); returns the first other
// character, or kEof.
int skip_white_space(ParseContext& ctx) {
  skip_plain_blanks(ctx);
  int c = next_char(ctx);
  while (is_space(c)) {
    skip_plain_blanks(ctx);
    c = next_char(ctx);
  }
  return c;
}

void scan_number(ParseContext& ctx, int c, std::string& text) {
  if (c == '-') {
    text += '-';
    c = next_char(ctx);
  }
  bool zero_seen = false;
  bool hex = false;
  if (c == '0') {
    zero_seen = true;
    c = next_char(ctx);
    if (c == 'x' || c == 'X') {
      text += "0x";
      hex = true;
      c = next_char(ctx);
    }
  }
  while (c == '0') c = next_char(ctx);
  bool digit_appended = false;
  while (text.size() < kMaxTokenScan && (hex ? is_xdigit(c) : is_digit(c))) {
    text += static_cast<char>(c);
    digit_appended = true;
    c = next_char(ctx);
  }
  if (!digit_appended && zero_seen) text += '0';
  if (c == 'b' || c == 'B') {
    text += static_cast<char>(c);
    c = next_char(ctx);
  }
  unread_char(ctx, c);
}

// The character that ends the word is read and given back: when it opens a
// comment, the comment is consumed now, as it always was.
void scan_word(ParseContext& ctx, int c, std::string& text) {
  text += static_cast<char>(c);
  c = next_char(ctx);
  while (text.size() < kMaxTokenScan && is_word_char(c)) {
    text += static_cast<char>(c);
    c = next_char(ctx);
  }
  unread_char(ctx, c);
}

// The longest of ".." and "..." that begins here, else one character. A NUL
// read as punctuation is cut, as in every text, and leaves an empty text.
// After "..." one more character is read and given back, like after any
// shorter run of dots, so a comment there is consumed at the same moment.
void scan_punct(ParseContext& ctx, int c, std::string& text) {
  if (c == '\0') return;
  text += static_cast<char>(c);
  if (c != '.') return;
  for (int dots = 1;; ++dots) {
    const int following = next_char(ctx);
    if (following != '.' || dots == 3) {
      unread_char(ctx, following);
      return;
    }
    text += '.';
  }
}

}  // namespace

Token classify_token(std::string_view text) {
  if (!text.empty() && is_digit(static_cast<unsigned char>(text[0]))) return TK_NUMBER;
  if (text.size() > 1 && text[0] == '-' && is_digit(static_cast<unsigned char>(text[1]))) {
    return TK_NUMBER;
  }
  if (const auto keyword = lookup_keyword(text)) return *keyword;
  return TK_WORD;
}

Token next_token_by_characters(ParseContext& ctx, TokenText& token_text) {
  std::string& text = token_text.rebuild();
  const int c = skip_white_space(ctx);
  if (c == kEof) return TK_EOF;
  note_token_start(ctx);
  if (is_digit(c) || c == '-') {
    scan_number(ctx, c, text);
  } else if (is_letter(c) || c == '_') {
    scan_word(ctx, c, text);
  } else {
    scan_punct(ctx, c, text);
  }
  // Words and numbers hold no NUL (it is neither a word character nor a
  // digit), and punctuation cuts its own, so the text is final here.
  return classify_token(text);
}

Token next_statement_token_by_characters(ParseContext& ctx, TokenText& token_text) {
  std::string& text = token_text.rebuild();
  const int c = skip_white_space(ctx);
  if (c == kEof) return TK_EOF;
  note_token_start(ctx);
  if (is_letter(c) || c == '+') {
    scan_word(ctx, c, text);
  } else {
    scan_punct(ctx, c, text);
  }
  // Words and numbers hold no NUL (it is neither a word character nor a
  // digit), and punctuation cuts its own, so the text is final here.
  return classify_token(text);
}

Token read_raw_word(ParseContext& ctx, TokenText& token_text, std::size_t* raw_length) {
  std::string& text = token_text.rebuild();
  int c = skip_white_space(ctx);
  if (c == kEof) {
    if (raw_length) *raw_length = 0;
    return TK_EOF;
  }
  note_token_start(ctx);
  while (text.size() < kMaxTokenScan && c != kEof && !is_space(c) && c != ';' && c != ',') {
    text += static_cast<char>(c);
    c = next_char(ctx);
  }
  unread_char(ctx, c);
  if (raw_length) *raw_length = text.size();
  cut_at_nul(text);
  return TK_WORD;
}

}  // namespace taloq
