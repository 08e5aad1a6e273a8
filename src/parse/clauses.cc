// The clauses after an element's first token: name, followers (cardinality,
// tag, body, modifiers, the closing ';'), cardinality, tag and recovery.
// The type constraint has a file of its own.

#include "parse/clauses.h"

#include <cassert>

#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "lex/char_input.h"
#include "lex/names.h"
#include "lex/numbers.h"
#include "lex/tokenizer.h"
#include "parse/block_parser.h"

namespace taloq {
namespace {

// The name rule: a valid identifier of at most 63 characters becomes the
// name, the tag and (made identifier-safe) the c_name.
void apply_name(ParseContext& ctx, Element& element, const TokenText& text) {
  const IdentifierShape shape = identifier_shape(text);
  if (shape == IdentifierShape::kNotIdentifier) {
    report_parse(ctx, SEV_ERROR, "Invalid format for an identifier: %s", text.c_str());
  } else if (text.size() > kMaxNameLength) {
    report_parse(ctx, SEV_ERROR, "Identifier name exceeds %d characters: %s",
                 static_cast<int>(kMaxNameLength), text.c_str());
  } else {
    // The name, the tag and usually the c_name are the same characters.
    element.set_name_for_all(ctx.run->texts.keep(text));
    if (shape == IdentifierShape::kIdentifierWithDash) {
      std::string c_name = text.str();
      to_identifier(c_name);
      element.set_c_name(ctx.run->texts.keep(c_name));
    }
    ctx.state = PS_AFTER_NAME;
  }
}

void parse_body(ParseContext& ctx, Element& element) {
  if (!is_constructed(element.type())) {
    report_parse(ctx, SEV_ERROR, "Illegal opening { character");
    return;
  }
  if (!skip_body_nested_too_deep(ctx)) {
    // A further body replaces the members only when it has some.
    if (Element* members = parse_block(ctx)) element.set_children(members);
  }
  ctx.state = PS_AFTER_TAG;
}

enum class Follower { kName, kCardinality, kTag };

// What may follow a name, a cardinality, or a tag or body.
void parse_follower(ParseContext& ctx, Element& element, Follower position) {
  TokenText text;
  const Token token = next_token(ctx, text);
  switch (token) {
    case TK_LBRACKET:
      if (position != Follower::kName) break;
      ctx.state = PS_CARDINALITY;
      return;
    case TK_AS:
      if (position == Follower::kTag) break;
      ctx.state = PS_TAG;
      return;
    case TK_PLUGIN: element.set_is_plugin(true); return;
    case TK_PLUGGABLE:
    case TK_SMARK:
    case TK_EMARK:
    case TK_EXEC: return;
    case TK_LBRACE: parse_body(ctx, element); return;
    case TK_SEMICOLON:
      complete_element(ctx, element);
      ctx.state = PS_STATEMENT;
      return;
    case TK_EOF: premature_end_of_file(ctx); return;
    default: break;
  }
  if (position == Follower::kName) {
    report_parse(ctx, SEV_ERROR, "Unexpected token: %s", text.c_str());
  } else {
    report_parse(ctx, SEV_ERROR, "Unexpected token %s", text.c_str());
  }
}

void illegal_cardinality(ParseContext& ctx) {
  report_parse(ctx, SEV_ERROR, "Illegal cardinality format");
}

// Expects the closing ']' of a cardinality.
bool close_cardinality(ParseContext& ctx) {
  TokenText text;
  if (next_token(ctx, text) != TK_RBRACKET) return false;
  ctx.state = PS_AFTER_CARDINALITY;
  return true;
}

bool is_negative(const TokenText& text) {
  return text.starts_with('-');
}

// "[?]", "[*]" or "[+]".
void parse_symbolic_cardinality(ParseContext& ctx, Element& element, Token token) {
  element.set_cardinality_min(ctx.brackets->brackets_seen ? 0 : (token == TK_PLUS ? 1 : 0));
  element.set_cardinality_max(token == TK_QUESTION ? 1 : -1);
  if (!close_cardinality(ctx)) {
    illegal_cardinality(ctx);
    ctx.state = PS_RECOVER;
  }
}

// The part after "n ..": "*]" or "m]".
void parse_cardinality_upper_bound(ParseContext& ctx, Element& element) {
  TokenText text;
  const Token token = next_token(ctx, text);
  if (token == TK_STAR) {
    if (close_cardinality(ctx)) {
      element.set_cardinality_max(-1);
    } else {
      illegal_cardinality(ctx);
    }
  } else if (token == TK_NUMBER) {
    if (is_negative(text)) {
      report_parse(ctx, SEV_ERROR, "Illegal negative value in cardinality");
      return;
    }
    element.set_cardinality_max(static_cast<std::int32_t>(to_number(ctx, text)));
    if (!close_cardinality(ctx)) illegal_cardinality(ctx);
  } else if (token == TK_EOF) {
    premature_end_of_file(ctx);
  } else {
    illegal_cardinality(ctx);
  }
}

// "[n]", "[n..m]" or "[n..*]", from the number n on.
void parse_numeric_cardinality(ParseContext& ctx, Element& element, const TokenText& first) {
  if (is_negative(first)) {
    report_parse(ctx, SEV_ERROR, "Illegal negative value in cardinality");
    return;
  }
  const std::uint32_t n = to_number(ctx, first);
  element.set_cardinality_min(ctx.brackets->brackets_seen ? 0 : n);
  TokenText text;
  const Token token = next_token(ctx, text);
  if (token == TK_RBRACKET) {
    element.set_cardinality_max(static_cast<std::int32_t>(n));
    ctx.state = PS_AFTER_CARDINALITY;
  } else if (token == TK_RANGE) {
    parse_cardinality_upper_bound(ctx, element);
  } else if (token == TK_EOF) {
    premature_end_of_file(ctx);
  } else {
    illegal_cardinality(ctx);
  }
}

}  // namespace

void parse_type_suffix(ParseContext& ctx, Element& element) {
  TokenText text;
  const Token token = next_token(ctx, text);
  if (token == TK_LT) {
    ctx.state = PS_CONSTRAINT;
    return;
  }
  if (token == TK_EOF) {
    premature_end_of_file(ctx);
    return;
  }
  if (element.type() == ET_INTEGER) {
    report_parse(ctx, SEV_ERROR, "Integer '%s' missing constraint", text.c_str());
  }
  apply_name(ctx, element, text);
}

void parse_name(ParseContext& ctx, Element& element) {
  TokenText text;
  if (next_token(ctx, text) == TK_EOF) {
    premature_end_of_file(ctx);
    return;
  }
  apply_name(ctx, element, text);
}

void after_name(ParseContext& ctx, Element& element) {
  parse_follower(ctx, element, Follower::kName);
}

void after_cardinality(ParseContext& ctx, Element& element) {
  parse_follower(ctx, element, Follower::kCardinality);
}

void after_tag(ParseContext& ctx, Element& element) {
  parse_follower(ctx, element, Follower::kTag);
}

void parse_cardinality(ParseContext& ctx, Element& element) {
  element.set_has_cardinality(true);
  element.set_cardinality_min(0);
  element.set_cardinality_max(-1);
  TokenText text;
  const Token token = next_token(ctx, text);
  if (token == TK_QUESTION || token == TK_STAR || token == TK_PLUS) {
    parse_symbolic_cardinality(ctx, element, token);
  } else if (token == TK_NUMBER) {
    parse_numeric_cardinality(ctx, element, text);
  } else if (token == TK_EOF) {
    premature_end_of_file(ctx);
  } else {
    illegal_cardinality(ctx);
  }
}

void parse_tag(ParseContext& ctx, Element& element) {
  TokenText word;
  std::size_t raw_length = 0;
  if (read_raw_word(ctx, word, &raw_length) == TK_EOF) {
    premature_end_of_file(ctx);
    return;
  }
  if (!is_tag(word)) {
    report_parse(ctx, SEV_ERROR, "Illegal tag format");
    // Nothing was read: ';' or ',' stands where the tag should be. Leave the
    // tag as it is and let that character end or continue the element.
    if (raw_length == 0) ctx.state = PS_AFTER_TAG;
    return;
  }
  if (word.size() > kMaxNameLength) {
    report_parse(ctx, SEV_ERROR, "Identifier name exceeds %d characters: %s",
                 static_cast<int>(kMaxNameLength), word.c_str());
    return;
  }
  element.set_tag(ctx.run->texts.keep(std::string_view(word).substr(word[0] == '?' ? 1 : 0)));
  ctx.state = PS_AFTER_TAG;
}

void recover_statement(ParseContext& ctx) {
  TokenText text;
  for (;;) {
    switch (next_token(ctx, text)) {
      case TK_SEMICOLON: ctx.state = PS_STATEMENT; return;
      case TK_RBRACE: ctx.state = PS_END_BLOCK; return;
      case TK_EOF: premature_end_of_file(ctx); return;
      default: break;
    }
  }
}

namespace {

void check_combined_member(ParseContext& ctx, Element& member) {
  member.set_tag(Text());
  for_each_combined_member_fault(member, [&](const char* format) {
    report_parse(ctx, SEV_ERROR, format, member.name().c_str());
  });
}

}  // namespace

void complete_element(ParseContext& ctx, Element& element) {
  BracketFrame& frame = *ctx.brackets;
  if (frame.tagged_seen && element.tag().empty()) {
    report_parse(ctx, SEV_ERROR, "Illegal untagged item after tagged items");
  }
  if (!element.tag().empty()) frame.tagged_seen = true;
  if (element.type() != ET_COMBINED) return;
  for (Element* member = element.children(); member != nullptr; member = member->next()) {
    check_combined_member(ctx, *member);
  }
}

void premature_end_of_file(ParseContext& ctx) {
  ctx.state = PS_END_BLOCK;
  report_parse(ctx, SEV_ERROR, "Encountered premature end of file");
}

void run_clause_handler(ParseContext& ctx, Element* element) {
  if (ctx.state == PS_RECOVER) {
    recover_statement(ctx);
    return;
  }
  // Every other clause state is entered only from an element statement.
  assert(element != nullptr);
  if (element == nullptr) {
    ctx.state = PS_RECOVER;
    return;
  }
  switch (ctx.state) {
    case PS_AFTER_TYPE: parse_type_suffix(ctx, *element); break;
    case PS_CONSTRAINT: parse_constraint(ctx, *element); break;
    case PS_NAME: parse_name(ctx, *element); break;
    case PS_AFTER_NAME: after_name(ctx, *element); break;
    case PS_CARDINALITY: parse_cardinality(ctx, *element); break;
    case PS_AFTER_CARDINALITY: after_cardinality(ctx, *element); break;
    case PS_TAG: parse_tag(ctx, *element); break;
    case PS_AFTER_TAG: after_tag(ctx, *element); break;
    default: ctx.state = PS_RECOVER; break;
  }
}

}  // namespace taloq
