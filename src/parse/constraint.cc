// The type constraint between '<' and '>': a float precision, or a range
// followed by 'z' (integers), a pattern (string types) or a parenthesised
// text (embedded).

#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "lex/char_class.h"
#include "lex/char_input.h"
#include "lex/numbers.h"
#include "lex/tokenizer.h"
#include "parse/clauses.h"

namespace taloq {
namespace {

bool takes_pattern(std::int32_t type) {
  return type == ET_ASCII || type == ET_UNQUOTED_ASCII || type == ET_UNICODE;
}

int skip_white_space(ParseContext& ctx, int c) {
  while (is_space(c)) c = next_char(ctx);
  return c;
}

void invalid_constraint(ParseContext& ctx) {
  report_parse(ctx, SEV_ERROR, "Invalid type constraint");
}

// One bound of a range: a number token, its sign held apart.
bool read_bound(ParseContext& ctx, std::uint32_t& magnitude, bool& negative) {
  TokenText text;
  if (next_token(ctx, text) != TK_NUMBER) {
    invalid_constraint(ctx);
    return false;
  }
  negative = text.starts_with('-');
  magnitude = to_number(ctx, negative ? text.view().substr(1) : text.view());
  return true;
}

}  // namespace

bool parse_float_constraint(ParseContext& ctx, Element& element) {
  TokenText text;
  const Token token = next_token(ctx, text);
  if (token == TK_DOUBLE) {
    element.set_type(ET_DOUBLE);
  } else if (token != TK_SINGLE) {
    report_parse(ctx, SEV_ERROR, "Unrecognised float constraint: %s", text.c_str());
    return false;
  }
  return next_token(ctx, text) == TK_GT;
}

bool parse_range(ParseContext& ctx, Element& element) {
  // A bound that cannot be read leaves the fields as they were.
  std::uint32_t magnitude = element.min();
  bool negative = element.min_negative();
  const bool read = read_bound(ctx, magnitude, negative);
  element.set_min(magnitude);
  element.set_min_negative(negative);
  if (!read) return false;
  TokenText text;
  const Token token = next_token(ctx, text);
  if (token == TK_GT) {
    element.set_max(element.min());
    element.set_max_negative(element.min_negative());
    element.set_constrained(true);
    unread_char(ctx, '>');
    return true;
  }
  if (token != TK_RANGE) {
    invalid_constraint(ctx);
    return false;
  }
  magnitude = element.max();
  negative = element.max_negative();
  const bool read_max = read_bound(ctx, magnitude, negative);
  element.set_max(magnitude);
  element.set_max_negative(negative);
  if (!read_max) return false;
  element.set_constrained(true);
  return true;
}

void parse_pattern(ParseContext& ctx, Element& element) {
  std::string kept;
  bool escaped = false;
  bool in_class = false;
  for (int c = next_char(ctx); c != kEof; c = next_char(ctx)) {
    if (!escaped && !in_class && c == '/') break;
    if (escaped) {
      escaped = false;
    } else if (c == '\\') {
      escaped = true;
    } else if (c == '[') {
      in_class = true;
    } else if (c == ']') {
      in_class = false;
    }
    if (kept.size() < kMaxLinkLength) kept += static_cast<char>(c);
  }
  cut_at_nul(kept);
  element.set_pattern(ctx.run->texts.keep(kept));
}

void skip_parameters(ParseContext& ctx) {
  int c;
  do {
    c = next_char(ctx);
  } while (c != ')' && c != kEof);
}

void parse_constraint(ParseContext& ctx, Element& element) {
  ctx.state = PS_RECOVER;
  if (element.type() == ET_FLOAT) {
    if (parse_float_constraint(ctx, element)) ctx.state = PS_NAME;
    return;
  }
  int c = skip_white_space(ctx, next_char(ctx));
  if (is_digit(c) || c == '-') {
    unread_char(ctx, c);
    parse_range(ctx, element);
    c = skip_white_space(ctx, next_char(ctx));
    if (element.type() == ET_INTEGER && (c == 'z' || c == 'Z')) {
      element.set_z_flag(true);
      c = next_char(ctx);
    }
  }
  if (takes_pattern(element.type()) && c == '/') {
    parse_pattern(ctx, element);
    c = next_char(ctx);
  } else if (element.type() == ET_EMBEDDED && c == '(') {
    skip_parameters(ctx);
    c = next_char(ctx);
  }
  c = skip_white_space(ctx, c);
  if (c == '>') {
    ctx.state = PS_NAME;
  } else {
    invalid_constraint(ctx);
  }
}

}  // namespace taloq
