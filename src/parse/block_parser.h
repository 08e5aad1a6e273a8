#pragma once

#include "lex/token.h"
#include "parse/element.h"
#include "source/parse_context.h"

namespace taloq {

// Deepest nesting of bodies the parser descends into; a deeper body is
// reported and skipped, so no input can exhaust the call stack.
inline constexpr int kMaxBodyNesting = 1000;

// When the body about to be parsed would nest deeper than kMaxBodyNesting,
// reports it and skips the body up to its matching '}' (or end of file),
// counting braces; returns true then. The caller goes on as after a body.
bool skip_body_nested_too_deep(ParseContext& ctx);

// Parses one block (a module's top level, a plug body or an element body)
// until its state is PS_END_BLOCK. Returns the block's first element (the
// rest follow through next()), or null when the block yields none.
Element* parse_block(ParseContext& ctx);

// Reads one statement start and carries the statement out; returns the new
// element when the statement starts one.
Element* parse_statement(ParseContext& ctx);

// Header and plug statements, each after its keyword.
void parse_module_name(ParseContext& ctx);
void parse_import(ParseContext& ctx);
void parse_extends(ParseContext& ctx);
void parse_plug(ParseContext& ctx);
void parse_into(ParseContext& ctx);
void parse_into_list(ParseContext& ctx);
// "endmodule": ends the module when ';' follows, else starts an element.
Element* parse_endmodule(ParseContext& ctx);

// Starts an element statement with its first token.
Element* new_element(ParseContext& ctx, Token token, const TokenText& text);
void set_element_type(ParseContext& ctx, Element& element, Token token, const TokenText& text);
// Reads "<expression>" after "const".
void parse_const_expression(ParseContext& ctx, Element& element);

}  // namespace taloq
