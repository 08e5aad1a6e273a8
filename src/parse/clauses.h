#pragma once

#include "parse/element.h"
#include "source/parse_context.h"

namespace taloq {

// The handlers of the element clauses, one per parser state. Each reads the
// input it needs, fills the current element and sets the next state; one
// that leaves the state unchanged is called again on the next token.
void parse_type_suffix(ParseContext& ctx, Element& element);
void parse_constraint(ParseContext& ctx, Element& element);
void parse_name(ParseContext& ctx, Element& element);
void after_name(ParseContext& ctx, Element& element);
void parse_cardinality(ParseContext& ctx, Element& element);
void after_cardinality(ParseContext& ctx, Element& element);
void parse_tag(ParseContext& ctx, Element& element);
void after_tag(ParseContext& ctx, Element& element);
// Drops tokens up to the end of the statement or block.
void recover_statement(ParseContext& ctx);

// Helpers of the type constraint.
bool parse_float_constraint(ParseContext& ctx, Element& element);
bool parse_range(ParseContext& ctx, Element& element);
void parse_pattern(ParseContext& ctx, Element& element);
void skip_parameters(ParseContext& ctx);

// The checks at an element's closing ';': tag order and the members of a
// combined type.
void complete_element(ParseContext& ctx, Element& element);

// End of file where the grammar needs more: reports it and ends the block.
void premature_end_of_file(ParseContext& ctx);

// Calls the handler of the context's current state (1 to 9).
void run_clause_handler(ParseContext& ctx, Element* element);

}  // namespace taloq
