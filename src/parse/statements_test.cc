// The statement start (PS_STATEMENT): module header, imports and extends,
// plug extensions and into lists, version brackets, end of block and module.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "driver/run_context.h"
#include "parse/block_parser.h"
#include "source/module_record.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::error_at;
using testing::nth;
using testing::parse_top_level;
using testing::TextSource;

std::vector<std::string> aliases(const std::deque<ModuleAlias>& list) {
  std::vector<std::string> out;
  for (const ModuleAlias& entry : list) out.push_back(entry.alias + "=" + entry.module_name);
  return out;
}

std::vector<std::string> names(Element* list) {
  std::vector<std::string> out;
  for (; list != nullptr; list = list->next()) out.push_back(list->name().str());
  return out;
}

TEST(ModuleStatement, NamesTheModuleWithOrWithoutTaloq) {
  for (const char* text :
       {"module M; bool b;", "taloq module M; bool b;", "taloq\nmodule\nM\n;\nbool b;"}) {
    TextSource source(text);
    EXPECT_EQ(parse_top_level(source), "") << text;
    EXPECT_EQ(source.module->name, "M");
    EXPECT_EQ(names(source.module->elements), std::vector<std::string>{"b"});
    EXPECT_EQ(source.ctx.errors, 0);
  }
  TextSource unnamed("bool b;");
  EXPECT_EQ(parse_top_level(unnamed), "");
  EXPECT_EQ(unnamed.module->name, "");
}

TEST(ModuleStatement, TaloqMustBeFollowedByModule) {
  TextSource source("taloq modul M;\nbool b;");
  EXPECT_EQ(parse_top_level(source), error_at(1, "Expected keyword 'module'.  Got 'modul'"));
  EXPECT_EQ(source.module->name, "");
  EXPECT_EQ(names(source.module->elements), std::vector<std::string>{"b"});
  TextSource at_end("taloq");
  EXPECT_EQ(parse_top_level(at_end), error_at(1, "Expected keyword 'module'.  Got ''") +
                                         error_at(1, "Encountered premature end of file"));
}

TEST(ModuleStatement, BadNamesAndMissingSemicolons) {
  TextSource bad("module A; module 9x;\nbool b;");
  EXPECT_EQ(parse_top_level(bad), error_at(1, "Illegal module name: 9x"));
  EXPECT_EQ(bad.module->name, "A");
  TextSource no_semicolon("module M x bool b;");
  EXPECT_EQ(parse_top_level(no_semicolon), error_at(1, "Expected ; after module name"));
  EXPECT_EQ(no_semicolon.module->name, "M");
  // The token after the name was consumed, the next statement starts at bool.
  EXPECT_EQ(names(no_semicolon.module->elements), std::vector<std::string>{"b"});
  TextSource empty("module ;");
  EXPECT_EQ(parse_top_level(empty), error_at(1, "Illegal module name: "));
  TextSource eof("module");
  EXPECT_EQ(parse_top_level(eof),
            error_at(1, "Illegal module name: ") + error_at(1, "Expected ; after module name"));
  TextSource qualified("module +core.types-2;");
  EXPECT_EQ(parse_top_level(qualified), "");
  EXPECT_EQ(qualified.module->name, "+core.types-2");
}

TEST(ModuleStatement, AfterTheHeaderIsReportedButCarriedOut) {
  TextSource source("module A;\nbool b;\nmodule B;\nimport I;\nextends E as X;\ntaloq module C;");
  EXPECT_EQ(parse_top_level(source),
            error_at(3, "Illegal module statement within main body of definition") +
                error_at(4, "Illegal import statement within main body of definition") +
                error_at(5, "Illegal mxtends statement within main body of definition") +
                error_at(6, "Unexpected token: C"));
}

TEST(ModuleStatement, LaterStatementReplacesTheName) {
  TextSource source("module A;\nbool b;\nmodule B;");
  parse_top_level(source);
  EXPECT_EQ(source.module->name, "B");
  EXPECT_FALSE(source.ctx.expect_header);
}

TEST(ImportStatement, AliasesAndOrder) {
  TextSource source("import A; import B as X; import C as; extends D; extends E as Y;");
  EXPECT_EQ(parse_top_level(source), "");
  EXPECT_EQ(aliases(source.module->imports), (std::vector<std::string>{"=C", "X=B", " =A"}));
  EXPECT_EQ(aliases(source.module->extends), (std::vector<std::string>{"Y=E", " =D"}));
  EXPECT_TRUE(source.ctx.expect_header);
  EXPECT_EQ(source.module->elements, nullptr);
}

TEST(ImportStatement, Errors) {
  struct Case {
    const char* text;
    std::string output;
    std::size_t imports;
  };
  const std::vector<Case> cases = {
      {"import 9A; bool b;", error_at(1, "Illegal module name: 9A"), 0},
      {"import A B; bool b;", error_at(1, "Expected 'as' after import module name. Got: 'B'"), 0},
      {"import A as X Y; bool b;", error_at(1, "Expected ; after import statement. Got: 'Y'"), 0},
      {"import A as X\n}",
       error_at(2, "Expected ; after import statement. Got: '}'") +
           error_at(2, "Encountered premature end of file"),
       0},
      {"import", error_at(1, "Unexpected end of file encountered"), 0},
      {"import A as\n", error_at(2, "Unexpected end of file encountered"), 0},
      {"import A",
       error_at(1, "Expected 'as' after import module name. Got: ''") +
           error_at(1, "Encountered premature end of file"),
       0},
      {"import ;", error_at(1, "Illegal module name: "), 0},
      {"bool b; import A;", error_at(1, "Illegal import statement within main body of definition"),
       1},
      {"extends 9A; bool b;", error_at(1, "Illegal module name: 9A"), 0},
      {"extends A B; bool b;", error_at(1, "Expected 'as' after extends module name. Got: 'B'"), 0},
      {"extends A as X Y; bool b;", error_at(1, "Expected ; after extends statement. Got: 'Y'"), 0},
      {"extends", error_at(1, "Unexpected end of file encountered"), 0},
  };
  for (const Case& c : cases) {
    TextSource source(c.text);
    EXPECT_EQ(parse_top_level(source), c.output) << c.text;
    EXPECT_EQ(source.module->imports.size() + source.module->extends.size(), c.imports) << c.text;
  }
  // Recovery ends at the ';', so the element after it is parsed.
  TextSource recovered("import A B C; bool b;");
  parse_top_level(recovered);
  EXPECT_EQ(names(recovered.module->elements), std::vector<std::string>{"b"});
}

TEST(PlugStatement, BodyIntoListAndWhatFollows) {
  TextSource source("bool a;\nplug\n  bool x as x;\n  bool y as y;\ninto T1,\n T2;\nbool c;");
  EXPECT_EQ(parse_top_level(source), "");
  const ModuleRecord& module = *source.module;
  ASSERT_EQ(module.plugs.size(), 1u);
  EXPECT_EQ(names(module.plugs[0].body), (std::vector<std::string>{"x", "y"}));
  ASSERT_EQ(module.plugs[0].into.size(), 2u);
  EXPECT_EQ(module.plugs[0].into[0].target, "T2");
  EXPECT_EQ(module.plugs[0].into[0].line, 6);
  EXPECT_EQ(module.plugs[0].into[1].target, "T1");
  EXPECT_EQ(module.plugs[0].into[1].line, 5);
  EXPECT_EQ(names(module.elements), (std::vector<std::string>{"a", "c"}));
  EXPECT_EQ(source.ctx.plug_depth, 0);
  EXPECT_EQ(source.ctx.plug, &module.plugs[0]);
}

TEST(PlugStatement, PlugsAreAppendedInSourceOrder) {
  TextSource source("plug bool x as x; into A;\nplug bool y as y; into B::c.d, E;\nbool z;");
  EXPECT_EQ(parse_top_level(source), "");
  ASSERT_EQ(source.module->plugs.size(), 2u);
  EXPECT_EQ(names(source.module->plugs[0].body), std::vector<std::string>{"x"});
  EXPECT_EQ(names(source.module->plugs[1].body), std::vector<std::string>{"y"});
  EXPECT_EQ(source.module->plugs[1].into[1].target, "B::c.d");
  // An element in a plug body ends the header phase.
  EXPECT_FALSE(source.ctx.expect_header);
}

TEST(PlugStatement, BodyEndingAtABraceHasNoTargets) {
  TextSource source("plug bool x as x; }\nbool y;");
  EXPECT_EQ(parse_top_level(source), "");
  ASSERT_EQ(source.module->plugs.size(), 1u);
  EXPECT_TRUE(source.module->plugs[0].into.empty());
  EXPECT_EQ(names(source.module->elements), std::vector<std::string>{"y"});
}

TEST(PlugStatement, BodyEndingAtEndOfFile) {
  TextSource source("plug bool x as x;\n");
  EXPECT_EQ(parse_top_level(source), error_at(2, "Encountered premature end of file"));
  EXPECT_EQ(source.module->elements, nullptr);
}

TEST(PlugStatement, EveryElementOfAPlugBodyNeedsATag) {
  TextSource source("plug bool x as ?;\n bool y as ?;\n bool z; into T;");
  EXPECT_EQ(parse_top_level(source), error_at(1, "Illegal untagged item after tagged items") +
                                         error_at(2, "Illegal untagged item after tagged items"));
}

TEST(PlugStatement, OnlyThePlugBodyItselfStartsTagged) {
  TextSource source("plug struct S as s { bool a as ?; bool b; }; into T;");
  EXPECT_EQ(parse_top_level(source), "");
  EXPECT_EQ(source.module->plugs[0].body->children()->tag(), "");
  EXPECT_EQ(source.ctx.depth, 0);
}

TEST(PlugStatement, NotAtTheTopLevelOrNested) {
  TextSource in_body("struct S { plug bool x as x; } bool t; };");
  EXPECT_EQ(parse_top_level(in_body),
            error_at(1, "Plug extensions not allowed within other constructs"));
  ASSERT_EQ(in_body.module->plugs.size(), 1u);
  EXPECT_EQ(names(in_body.module->plugs[0].body), std::vector<std::string>{"x"});

  TextSource nested("plug\nplug bool x as x; }\nbool y as y; into T;");
  EXPECT_EQ(parse_top_level(nested),
            error_at(2, "Plug extensions not allowed within other constructs") +
                error_at(2, "Illegal nested plug extension") +
                error_at(3, "Unexpected 'into' keyword found") +
                error_at(3, "Encountered premature end of file"));
  ASSERT_EQ(nested.module->plugs.size(), 2u);
  // The inner plug resets the plug depth, so the into of the outer body is
  // no longer directly in a plug body.
  EXPECT_TRUE(nested.module->plugs[0].into.empty());
}

TEST(IntoStatement, OnlyDirectlyInAPlugBody) {
  TextSource top("into A;\nbool b;");
  EXPECT_EQ(parse_top_level(top), error_at(1, "Unexpected 'into' keyword found"));
  EXPECT_EQ(names(top.module->elements), std::vector<std::string>{"b"});

  // An into in a body inside the plug body is refused and resets the plug
  // depth, so the into that follows the body is refused as well.
  TextSource in_body("plug struct S { into A; } as s; into B;");
  EXPECT_EQ(parse_top_level(in_body),
            error_at(1, "Unexpected 'into' keyword found") + error_at(1, "Unexpected token as") +
                error_at(1, "Unexpected token s") + error_at(1, "Unexpected 'into' keyword found") +
                error_at(1, "Encountered premature end of file"));
  ASSERT_EQ(in_body.module->plugs.size(), 1u);
  EXPECT_TRUE(in_body.module->plugs[0].into.empty());
}

TEST(IntoStatement, BadNamesAndSeparators) {
  TextSource separator("plug bool x as x; into A B;\nbool y as y; }\nbool z;");
  EXPECT_EQ(parse_top_level(separator), error_at(1, "Illegal separator in 'into' list: B"));
  const PlugRecord& plug = separator.module->plugs[0];
  ASSERT_EQ(plug.into.size(), 1u);
  EXPECT_EQ(plug.into[0].target, "A");
  // The recovery stops at the ';' and the body goes on up to the '}'.
  EXPECT_EQ(names(plug.body), (std::vector<std::string>{"x", "y"}));
  EXPECT_EQ(names(separator.module->elements), std::vector<std::string>{"z"});

  TextSource name("plug bool x as x; into 1A;\nbool y;\n");
  EXPECT_EQ(parse_top_level(name), error_at(1, "Illegal name in 'into' list: 1A") +
                                       error_at(3, "Encountered premature end of file"));
  EXPECT_EQ(names(name.module->plugs[0].body), (std::vector<std::string>{"x", "y"}));

  for (const char* text : {"plug into ;", "plug into A,;", "plug into , A;"}) {
    TextSource empty(text);
    EXPECT_EQ(parse_top_level(empty), error_at(1, "Illegal name in 'into' list: ") +
                                          error_at(1, "Encountered premature end of file"))
        << text;
  }
  TextSource at_end("plug into");
  EXPECT_EQ(parse_top_level(at_end), error_at(1, "Illegal name in 'into' list: ") +
                                         error_at(1, "Encountered premature end of file"));
  // Only the first character is tested.
  TextSource loose("plug into a{}!;");
  EXPECT_EQ(parse_top_level(loose), "");
  EXPECT_EQ(loose.module->plugs[0].into[0].target, "a{}!");
}

TEST(VersionBrackets, NestingClosingAndExtensions) {
  TextSource source("bool a;\n[\n[\nbool b;\n]\n]\nbool c;");
  EXPECT_EQ(parse_top_level(source), error_at(3, "Illegal nesting of version brackets") +
                                         error_at(6, "Unexpected closing version brackets") +
                                         error_at(7, "Extension outside of version brackets"));
  EXPECT_EQ(names(source.module->elements), (std::vector<std::string>{"a", "b", "c"}));
  TextSource closing("]\nbool a;");
  EXPECT_EQ(parse_top_level(closing), error_at(1, "Unexpected closing version brackets"));
  // Brackets belong to their block: neither the rule nor an open "[" reaches
  // into a body or out of it.
  TextSource bodies("[ struct S { bool a; [ bool b; }; bool c; ]\nstruct T { bool d; };");
  EXPECT_EQ(parse_top_level(bodies), error_at(2, "Extension outside of version brackets"));
}

TEST(StatementStart, EndOfFileAndClosingBrace) {
  TextSource top("bool a;");
  EXPECT_EQ(parse_top_level(top), "");
  EXPECT_EQ(top.ctx.state, PS_END_BLOCK);
  EXPECT_EQ(top.ctx.depth, 0);
  EXPECT_EQ(top.ctx.brackets, nullptr);

  TextSource brace("bool a; } bool b;");
  EXPECT_EQ(parse_top_level(brace), "");
  EXPECT_EQ(names(brace.module->elements), std::vector<std::string>{"a"});
  EXPECT_TRUE(brace.ctx.last_module);

  TextSource nested("struct A {\n struct B {\n");
  EXPECT_EQ(parse_top_level(nested), error_at(3, "Encountered premature end of file") +
                                         error_at(3, "Encountered premature end of file") +
                                         error_at(3, "Encountered premature end of file"));
}

TEST(EndModule, EndsTheModuleOnlyWhenASemicolonFollows) {
  TextSource source("bool a;\nendmodule\n  ;\nbool b;");
  EXPECT_EQ(parse_top_level(source), "");
  EXPECT_FALSE(source.ctx.last_module);
  EXPECT_EQ(source.ctx.line, 3);
  EXPECT_EQ(names(source.module->elements), std::vector<std::string>{"a"});

  // A comment is not skipped: endmodule starts a reference element.
  TextSource comment("endmodule /* c */ ; x;");
  EXPECT_EQ(parse_top_level(comment), error_at(1, "Invalid format for an identifier: ;"));
  EXPECT_TRUE(comment.ctx.last_module);
  EXPECT_EQ(comment.module->elements->type(), ET_LINK);
  EXPECT_EQ(comment.module->elements->link(), "endmodule");
  EXPECT_EQ(comment.module->elements->name(), "x");

  TextSource nested("struct S {\nendmodule;\nbool b; };");
  EXPECT_EQ(parse_top_level(nested), error_at(2, "Encountered premature end of file") +
                                         error_at(3, "Unexpected token bool") +
                                         error_at(3, "Unexpected token b"));
  EXPECT_FALSE(nested.ctx.last_module);
}

TEST(ElementStart, AnyOtherTokenStartsAReference) {
  TextSource source("single s; double d; mod::T t; +B b;\ntaloq t2;\n...\n; bool z;");
  EXPECT_EQ(parse_top_level(source),
            error_at(3, "Illegal reference name: ...") + error_at(4, "Illegal reference name: ;"));
  const std::vector<std::string> links = {"single", "double", "mod::T", "+B", "taloq"};
  for (std::size_t i = 0; i < links.size(); ++i) {
    Element* element = nth(source.module->elements, static_cast<int>(i));
    ASSERT_NE(element, nullptr);
    EXPECT_EQ(element->type(), ET_LINK);
    EXPECT_EQ(element->link(), links[i]);
  }
  Element* dots = nth(source.module->elements, 5);
  EXPECT_EQ(dots->link(), "");
  EXPECT_EQ(dots->name(), std::string(kUnsetText));
  EXPECT_EQ(nth(source.module->elements, 7)->name(), "z");
}

TEST(ElementStart, AFailedReferenceLeavesTheStatementAtOnce) {
  TextSource source(";");
  EXPECT_EQ(parse_top_level(source), error_at(1, "Illegal reference name: ;"));
  EXPECT_FALSE(source.ctx.expect_header);
  ASSERT_NE(source.module->elements, nullptr);
  EXPECT_EQ(source.module->elements->type(), ET_LINK);
  EXPECT_EQ(source.module->elements->link(), "");
  TextSource dotted("a.b x;");
  EXPECT_EQ(parse_top_level(dotted), error_at(1, "Illegal reference name: a.b") +
                                         error_at(1, "Invalid format for an identifier: ;") +
                                         error_at(1, "Encountered premature end of file"));
}

TEST(ElementStart, ReferenceNameLongerThan255) {
  TextSource source("");
  BracketFrame frame;
  source.ctx.brackets = &frame;
  const std::string long_name(256, 'r');
  Element* element = new_element(source.ctx, TK_WORD, long_name);
  EXPECT_EQ(source.captured.text(),
            error_at(1, "Reference name exceeds 255 characters: " + long_name));
  EXPECT_EQ(element->link(), "");
  EXPECT_EQ(source.ctx.state, PS_STATEMENT);
  const std::string longest(255, 'r');
  element = new_element(source.ctx, TK_WORD, longest);
  EXPECT_EQ(element->link(), longest);
  EXPECT_EQ(source.ctx.state, PS_NAME);
}

TEST(ElementStart, TypeKeywordsAndTheirNextState) {
  struct Case {
    Token token;
    const char* text;
    std::int32_t type;
    std::int32_t state;
  };
  const std::vector<Case> cases = {
      {TK_STRUCT, "struct", ET_STRUCT, PS_NAME},
      {TK_UNION, "union", ET_UNION, PS_NAME},
      {TK_COMBI, "combi", ET_COMBINED, PS_NAME},
      {TK_VOID, "void", ET_NULL, PS_NAME},
      {TK_BOOL, "bool", ET_BOOLEAN, PS_NAME},
      {TK_INT, "int", ET_INTEGER, PS_AFTER_TYPE},
      {TK_FLOAT, "float", ET_FLOAT, PS_AFTER_TYPE},
      {TK_OID, "oid", ET_OID, PS_NAME},
      {TK_ASCII, "ascii", ET_ASCII, PS_AFTER_TYPE},
      {TK_UNQUOTED_ASCII, "unquoted-ascii", ET_UNQUOTED_ASCII, PS_AFTER_TYPE},
      {TK_UNICODE, "unicode", ET_UNICODE, PS_AFTER_TYPE},
      {TK_BYTES, "bytes", ET_BYTES, PS_AFTER_TYPE},
      {TK_EMBEDDED, "embedded", ET_EMBEDDED, PS_AFTER_TYPE},
      {TK_IPV4, "ipv4", ET_IPV4, PS_NAME},
      {TK_IPV6, "ipv6", ET_IPV6, PS_NAME},
      {TK_DATE, "date", ET_DATE, PS_NAME},
      {TK_TIME, "time", ET_TIME, PS_NAME},
      {TK_WORD, "Ref", ET_LINK, PS_NAME},
      {TK_SINGLE, "single", ET_LINK, PS_NAME},
      {TK_IGNORE, "ignore", ET_LINK, PS_NAME},
      {TK_LBRACE, "{", ET_LINK, PS_STATEMENT},
      {TK_NUMBER, "5", ET_LINK, PS_STATEMENT},
  };
  for (const Case& c : cases) {
    TextSource source(" <x> k;");
    BracketFrame frame;
    source.ctx.brackets = &frame;
    source.ctx.state = PS_STATEMENT;
    Element* element = new_element(source.ctx, c.token, c.text);
    EXPECT_EQ(element->type(), c.type) << c.text;
    EXPECT_EQ(source.ctx.state, c.state) << c.text;
  }
  TextSource source(" <x> k;");
  BracketFrame frame;
  source.ctx.brackets = &frame;
  Element* constant = new_element(source.ctx, TK_CONST, "const");
  EXPECT_EQ(constant->type(), ET_CONST);
  EXPECT_EQ(constant->const_text(), "x");
  EXPECT_EQ(source.ctx.state, PS_NAME);
}

TEST(ConstExpression, StoredAsWritten) {
  TextSource source("const <a + b> k;\nconst/*c*/\n  < /* not a comment */> j;");
  EXPECT_EQ(parse_top_level(source), "");
  EXPECT_EQ(source.module->elements->const_text(), "a + b");
  EXPECT_EQ(source.module->elements->name(), "k");
  EXPECT_EQ(nth(source.module->elements, 1)->const_text(), " /* not a comment */");
  EXPECT_EQ(nth(source.module->elements, 1)->name(), "j");
}

TEST(ConstExpression, LengthAndFormat) {
  const std::string longest(63, 'c');
  const std::string too_long(64, 'c');
  TextSource source("const <" + longest + "> a;\nconst <" + too_long + "> b;\nconst <(x)> c;");
  EXPECT_EQ(parse_top_level(source), error_at(2, "Const name exceeds 63 characters: " + too_long) +
                                         error_at(3, "Illegal const expression: (x)"));
  EXPECT_EQ(source.module->elements->const_text(), longest);
  EXPECT_EQ(nth(source.module->elements, 1)->const_text(), "");
  EXPECT_EQ(nth(source.module->elements, 1)->name(), "b");
  EXPECT_EQ(nth(source.module->elements, 2)->name(), "c");
  // A format error is reported before a length error.
  TextSource both("const <(" + too_long + "> d;");
  EXPECT_EQ(parse_top_level(both), error_at(1, "Illegal const expression: (" + too_long));
}

TEST(ConstExpression, MissingOpeningAndEndOfFile) {
  TextSource symbol("const xy;");
  EXPECT_EQ(parse_top_level(symbol), error_at(1, "Unexpected symbol after const keyword: x"));
  EXPECT_EQ(symbol.module->elements->name(), "y");
  EXPECT_EQ(symbol.module->elements->const_text(), "");

  TextSource eof("const  \n");
  EXPECT_EQ(parse_top_level(eof), error_at(2, "Encountered premature end of file"));
  EXPECT_EQ(eof.ctx.state, PS_END_BLOCK);

  TextSource open("const <a\n");
  EXPECT_EQ(parse_top_level(open), error_at(2, "Encountered premature end of file"));
  EXPECT_EQ(open.module->elements->const_text(), "a\n");

  TextSource empty("const <");
  EXPECT_EQ(parse_top_level(empty), error_at(1, "Illegal const expression: ") +
                                        error_at(1, "Encountered premature end of file"));

  TextSource nul(std::string_view("const <ab\0cd> k;", 16));
  EXPECT_EQ(parse_top_level(nul), "");
  EXPECT_EQ(nul.module->elements->const_text(), "ab");
}

TEST(Example, ShapesModule) {
  TextSource source(
      "taloq module Shapes; import Base as B; struct Point { int<-100..100> x; "
      "int<-100..100> y; }; Point origin [0..1] as org;");
  EXPECT_EQ(parse_top_level(source), "");
  const ModuleRecord& module = *source.module;
  EXPECT_EQ(module.name, "Shapes");
  EXPECT_EQ(aliases(module.imports), std::vector<std::string>{"B=Base"});
  EXPECT_EQ(names(module.elements), (std::vector<std::string>{"Point", "origin"}));
  const Element& point = *module.elements;
  EXPECT_EQ(point.type(), ET_STRUCT);
  EXPECT_EQ(names(point.children()), (std::vector<std::string>{"x", "y"}));
  for (Element* child = point.children(); child != nullptr; child = child->next()) {
    EXPECT_EQ(child->type(), ET_INTEGER);
    EXPECT_EQ(child->min(), 100u);
    EXPECT_TRUE(child->min_negative());
    EXPECT_EQ(child->max(), 100u);
    EXPECT_FALSE(child->max_negative());
    EXPECT_TRUE(child->constrained());
    EXPECT_EQ(child->tag(), child->name());
  }
  const Element& origin = *point.next();
  EXPECT_EQ(origin.type(), ET_LINK);
  EXPECT_EQ(origin.link(), "Point");
  EXPECT_TRUE(origin.has_cardinality());
  EXPECT_EQ(origin.cardinality_min(), 0u);
  EXPECT_EQ(origin.cardinality_max(), 1);
  EXPECT_EQ(origin.tag(), "org");
  EXPECT_EQ(source.ctx.errors, 0);
}

}  // namespace
}  // namespace taloq
