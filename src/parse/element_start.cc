// The start of an element statement: the version-bracket rule, the record,
// the type from the first token, and the expression of a constant.

#include <string>

#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "lex/char_class.h"
#include "lex/char_input.h"
#include "lex/names.h"
#include "lex/tokenizer.h"
#include "parse/block_parser.h"
#include "parse/clauses.h"

namespace taloq {

Element* new_element(ParseContext& ctx, Token token, const TokenText& text) {
  ctx.expect_header = false;
  if (ctx.brackets->brackets_seen && !ctx.brackets->in_brackets) {
    report_parse(ctx, SEV_ERROR, "Extension outside of version brackets");
  }
  Element* element = create_element(ctx);
  set_element_type(ctx, *element, token, text);
  return element;
}

namespace {

struct TypeStart {
  std::int32_t type;
  std::int32_t next_state;
};

// The type keywords and the state that follows each; none for other tokens.
std::optional<TypeStart> type_keyword(Token token) {
  switch (token) {
    case TK_STRUCT: return TypeStart{ET_STRUCT, PS_NAME};
    case TK_UNION: return TypeStart{ET_UNION, PS_NAME};
    case TK_COMBI: return TypeStart{ET_COMBINED, PS_NAME};
    case TK_VOID: return TypeStart{ET_NULL, PS_NAME};
    case TK_BOOL: return TypeStart{ET_BOOLEAN, PS_NAME};
    case TK_INT: return TypeStart{ET_INTEGER, PS_AFTER_TYPE};
    case TK_FLOAT: return TypeStart{ET_FLOAT, PS_AFTER_TYPE};
    case TK_OID: return TypeStart{ET_OID, PS_NAME};
    case TK_ASCII: return TypeStart{ET_ASCII, PS_AFTER_TYPE};
    case TK_UNQUOTED_ASCII: return TypeStart{ET_UNQUOTED_ASCII, PS_AFTER_TYPE};
    case TK_UNICODE: return TypeStart{ET_UNICODE, PS_AFTER_TYPE};
    case TK_BYTES: return TypeStart{ET_BYTES, PS_AFTER_TYPE};
    case TK_EMBEDDED: return TypeStart{ET_EMBEDDED, PS_AFTER_TYPE};
    case TK_CONST: return TypeStart{ET_CONST, PS_NAME};
    case TK_IPV4: return TypeStart{ET_IPV4, PS_NAME};
    case TK_IPV6: return TypeStart{ET_IPV6, PS_NAME};
    case TK_DATE: return TypeStart{ET_DATE, PS_NAME};
    case TK_TIME: return TypeStart{ET_TIME, PS_NAME};
    default: return std::nullopt;
  }
}

// Any other first token names the type the element refers to.
void start_reference(ParseContext& ctx, Element& element, const TokenText& text) {
  element.set_type(ET_LINK);
  if (!is_reference_name(text)) {
    report_parse(ctx, SEV_ERROR, "Illegal reference name: %s", text.c_str());
  } else if (text.size() > kMaxLinkLength) {
    report_parse(ctx, SEV_ERROR, "Reference name exceeds %d characters: %s",
                 static_cast<int>(kMaxLinkLength), text.c_str());
  } else {
    element.set_link(ctx.run->texts.keep(text));
    ctx.state = PS_NAME;
  }
}

void store_const_expression(ParseContext& ctx, Element& element, std::string expression) {
  cut_at_nul(expression);
  if (!is_const_expression(expression)) {
    report_parse(ctx, SEV_ERROR, "Illegal const expression: %s", expression.c_str());
  } else if (expression.size() > kMaxNameLength) {
    report_parse(ctx, SEV_ERROR, "Const name exceeds %d characters: %s",
                 static_cast<int>(kMaxNameLength), expression.c_str());
  } else {
    element.set_const_text(ctx.run->texts.keep(expression));
  }
}

}  // namespace

void set_element_type(ParseContext& ctx, Element& element, Token token, const TokenText& text) {
  const auto start = type_keyword(token);
  if (!start) {
    start_reference(ctx, element, text);
    return;
  }
  element.set_type(start->type);
  ctx.state = start->next_state;
  if (start->type == ET_CONST) parse_const_expression(ctx, element);
}

void parse_const_expression(ParseContext& ctx, Element& element) {
  int c = next_char(ctx);
  while (is_space(c)) c = read_char(ctx);
  if (c == kEof) {
    premature_end_of_file(ctx);
    return;
  }
  if (c != '<') {
    std::string symbol(1, static_cast<char>(c));
    cut_at_nul(symbol);
    report_parse(ctx, SEV_ERROR, "Unexpected symbol after const keyword: %s", symbol.c_str());
    return;
  }
  std::string expression;
  for (c = read_char(ctx); c != '>' && c != kEof; c = read_char(ctx)) {
    expression += static_cast<char>(c);
  }
  store_const_expression(ctx, element, std::move(expression));
  if (c == kEof) premature_end_of_file(ctx);
}

}  // namespace taloq
