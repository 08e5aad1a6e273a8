// The statements that are not elements: the module header, imports and
// extends, plug extensions with their into lists, and the end of a module.

#include "driver/diagnostics.h"
#include "lex/char_class.h"
#include "lex/char_input.h"
#include "lex/names.h"
#include "lex/tokenizer.h"
#include "parse/block_parser.h"
#include "source/module_record.h"

namespace taloq {

void parse_module_name(ParseContext& ctx) {
  TokenText name;
  read_raw_word(ctx, name);
  if (is_module_name(name)) {
    ctx.module->name = name;
  } else {
    report_parse(ctx, SEV_ERROR, "Illegal module name: %s", name.c_str());
  }
  TokenText text;
  if (next_token(ctx, text) != TK_SEMICOLON) {
    report_parse(ctx, SEV_ERROR, "Expected ; after module name");
  }
  ctx.state = PS_STATEMENT;
}

namespace {

// The wording that differs between import and extends statements.
struct AliasStatement {
  const char* missing_semicolon;
  const char* missing_as;
  std::deque<ModuleAlias> ModuleRecord::*list;
};

constexpr AliasStatement kImport = {"Expected ; after import statement. Got: '%s'",
                                    "Expected 'as' after import module name. Got: '%s'",
                                    &ModuleRecord::imports};
constexpr AliasStatement kExtends = {"Expected ; after extends statement. Got: '%s'",
                                     "Expected 'as' after extends module name. Got: '%s'",
                                     &ModuleRecord::extends};

bool end_of_file_in_alias_statement(ParseContext& ctx, Token token) {
  if (token != TK_EOF) return false;
  report_parse(ctx, SEV_ERROR, "Unexpected end of file encountered");
  ctx.state = PS_END_BLOCK;
  return true;
}

void parse_alias_statement(ParseContext& ctx, const AliasStatement& kind) {
  ctx.state = PS_STATEMENT;
  TokenText module_name;
  if (end_of_file_in_alias_statement(ctx, read_raw_word(ctx, module_name))) return;
  const std::int32_t line = ctx.line;
  if (!is_module_name(module_name)) {
    report_parse(ctx, SEV_ERROR, "Illegal module name: %s", module_name.c_str());
    ctx.state = PS_RECOVER;
    return;
  }
  TokenText text;
  TokenText alias = " ";
  const Token token = next_token(ctx, text);
  if (token == TK_AS) {
    if (end_of_file_in_alias_statement(ctx, read_raw_word(ctx, alias))) return;
    if (next_token(ctx, text) != TK_SEMICOLON) {
      report_parse(ctx, SEV_ERROR, kind.missing_semicolon, text.c_str());
      ctx.state = PS_RECOVER;
      return;
    }
  } else if (token != TK_SEMICOLON) {
    report_parse(ctx, SEV_ERROR, kind.missing_as, text.c_str());
    ctx.state = PS_RECOVER;
    return;
  }
  (ctx.module->*kind.list).push_front(ModuleAlias{alias.str(), module_name.str(), line});
}

}  // namespace

void parse_import(ParseContext& ctx) {
  parse_alias_statement(ctx, kImport);
}

void parse_extends(ParseContext& ctx) {
  parse_alias_statement(ctx, kExtends);
}

void parse_plug(ParseContext& ctx) {
  if (ctx.depth != 1) {
    report_parse(ctx, SEV_ERROR, "Plug extensions not allowed within other constructs");
  }
  if (ctx.plug_depth != 0) report_parse(ctx, SEV_ERROR, "Illegal nested plug extension");
  PlugRecord& plug = ctx.module->plugs.emplace_back();
  plug.line = ctx.line;
  ctx.plug = &plug;
  ctx.plug_depth = 1;
  // A plug body below the top level can only end at its '}' (an into
  // statement is refused there), so a too deep one is skipped like a body.
  if (!skip_body_nested_too_deep(ctx)) plug.body = parse_block(ctx);
  ctx.plug_depth = 0;
  ctx.state = PS_STATEMENT;
}

void parse_into(ParseContext& ctx) {
  ctx.state = PS_END_BLOCK;
  if (ctx.depth == 2 && ctx.plug_depth != 0) {
    parse_into_list(ctx);
  } else {
    report_parse(ctx, SEV_ERROR, "Unexpected 'into' keyword found");
    ctx.state = PS_RECOVER;
  }
  ctx.plug_depth = 0;
}

void parse_into_list(ParseContext& ctx) {
  for (;;) {
    TokenText name;
    read_raw_word(ctx, name);
    if (name.empty() || !is_letter(static_cast<unsigned char>(name[0]))) {
      report_parse(ctx, SEV_ERROR, "Illegal name in 'into' list: %s", name.c_str());
      ctx.state = PS_RECOVER;
      return;
    }
    ctx.plug->into.push_front(IntoTarget{name.str(), ctx.line});
    TokenText text;
    const Token token = next_token(ctx, text);
    if (token == TK_SEMICOLON) return;
    if (token != TK_COMMA) {
      report_parse(ctx, SEV_ERROR, "Illegal separator in 'into' list: %s", text.c_str());
      ctx.state = PS_RECOVER;
      return;
    }
  }
}

Element* parse_endmodule(ParseContext& ctx) {
  int c;
  do {
    c = read_char(ctx);
  } while (is_space(c));
  if (c == ';') {
    ctx.state = PS_END_BLOCK;
    ctx.last_module = false;
    if (ctx.depth > 1) report_parse(ctx, SEV_ERROR, "Encountered premature end of file");
    return nullptr;
  }
  unread_char(ctx, c);
  return new_element(ctx, TK_ENDMODULE, "endmodule");
}

}  // namespace taloq
