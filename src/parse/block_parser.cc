#include "parse/block_parser.h"

#include "driver/diagnostics.h"
#include "driver/front_end_notes.h"
#include "lex/char_input.h"
#include "lex/tokenizer.h"
#include "parse/clauses.h"

namespace taloq {

bool skip_body_nested_too_deep(ParseContext& ctx) {
  if (ctx.depth <= kMaxBodyNesting) return false;
  report_parse(ctx, SEV_ERROR, "Nesting of bodies exceeds %d levels", kMaxBodyNesting);
  for (int open = 1; open > 0;) {
    const int c = next_char(ctx);
    if (c == kEof) break;
    if (c == '{') ++open;
    if (c == '}') --open;
  }
  return true;
}

Element* parse_block(ParseContext& ctx) {
  ctx.state = PS_STATEMENT;
  BracketFrame frame;
  frame.tagged_seen = ctx.plug_depth == 1;
  BracketFrame* const outer = ctx.brackets;
  ctx.brackets = &frame;
  ++ctx.depth;
  if (ctx.plug_depth > 0) ++ctx.plug_depth;

  Element* first = nullptr;
  Element* last = nullptr;
  Element* current = nullptr;
  while (ctx.state != PS_END_BLOCK) {
    if (ctx.state == PS_STATEMENT) {
      if (ctx.depth == 1) ctx.stream->offer_release();
      current = parse_statement(ctx);
      if (current != nullptr) {
        if (last == nullptr) {
          first = current;
        } else {
          last->set_next(current);
        }
        last = current;
      }
    } else {
      run_clause_handler(ctx, current);
    }
  }

  if (frame.in_brackets) note_open_bracket(ctx, frame.open_line);
  ctx.brackets = outer;
  --ctx.depth;
  if (ctx.plug_depth > 0) --ctx.plug_depth;
  return first;
}

namespace {

void open_version_brackets(ParseContext& ctx) {
  BracketFrame& frame = *ctx.brackets;
  if (frame.in_brackets) report_parse(ctx, SEV_ERROR, "Illegal nesting of version brackets");
  if (!frame.in_brackets) frame.open_line = ctx.line;
  frame.in_brackets = true;
  frame.brackets_seen = true;
}

void close_version_brackets(ParseContext& ctx) {
  BracketFrame& frame = *ctx.brackets;
  if (!frame.in_brackets) report_parse(ctx, SEV_ERROR, "Unexpected closing version brackets");
  frame.in_brackets = false;
}

void end_of_file_at_statement(ParseContext& ctx) {
  ctx.state = PS_END_BLOCK;
  if (ctx.depth > 1) report_parse(ctx, SEV_ERROR, "Encountered premature end of file");
}

// "taloq" in the header must be followed by "module".
void parse_language_header(ParseContext& ctx) {
  TokenText text;
  if (next_token(ctx, text) == TK_MODULE) {
    parse_module_name(ctx);
    return;
  }
  report_parse(ctx, SEV_ERROR, "Expected keyword 'module'.  Got '%s'", text.c_str());
  ctx.state = PS_RECOVER;
}

}  // namespace

Element* parse_statement(ParseContext& ctx) {
  TokenText text;
  const Token token = next_statement_token(ctx, text);
  switch (token) {
    case TK_LANGUAGE:
      if (!ctx.expect_header) return new_element(ctx, token, text);
      parse_language_header(ctx);
      return nullptr;
    case TK_MODULE:
      if (!ctx.expect_header) {
        report_parse(ctx, SEV_ERROR, "Illegal module statement within main body of definition");
      }
      parse_module_name(ctx);
      return nullptr;
    case TK_IMPORT:
      if (!ctx.expect_header) {
        report_parse(ctx, SEV_ERROR, "Illegal import statement within main body of definition");
      }
      parse_import(ctx);
      return nullptr;
    case TK_EXTENDS:
      if (!ctx.expect_header) {
        report_parse(ctx, SEV_ERROR, "Illegal mxtends statement within main body of definition");
      }
      parse_extends(ctx);
      return nullptr;
    case TK_PLUG: parse_plug(ctx); return nullptr;
    case TK_INTO: parse_into(ctx); return nullptr;
    case TK_RBRACE: ctx.state = PS_END_BLOCK; return nullptr;
    case TK_ENDMODULE: return parse_endmodule(ctx);
    case TK_LBRACKET: open_version_brackets(ctx); return nullptr;
    case TK_RBRACKET: close_version_brackets(ctx); return nullptr;
    case TK_EOF: end_of_file_at_statement(ctx); return nullptr;
    default: return new_element(ctx, token, text);
  }
}

}  // namespace taloq
