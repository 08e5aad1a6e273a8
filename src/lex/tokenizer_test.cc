// The lexer: the character stream, comments, the three token readers and
// their fast path, the keyword lookup, name predicates and number texts.

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "lex/buffer_tokens.h"
#include "lex/char_input.h"
#include "lex/names.h"
#include "lex/numbers.h"
#include "lex/tokenizer.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::TextSource;
using Reader = Token (*)(ParseContext&, TokenText&);

Token raw_word(ParseContext& ctx, TokenText& text) {
  return read_raw_word(ctx, text);
}

// A token as the tables write it: N:text for a number, W:text for a word,
// the table text for a keyword or punctuation; "@n" once the line is n.
std::string shown(Token token, const std::string& text) {
  if (token == TK_NUMBER) return "N:" + text;
  if (token == TK_WORD) return "W:" + text;
  const std::string listed(keyword_table[token].text);
  return text == listed ? listed : listed + "!" + text;
}

// Everything one reader delivers from the text: 'o' the ordinary reader, 's'
// the statement reader, 'r' raw words (the ';' or ',' a raw word stops at is
// then read and shown), 'c' the characters with comments removed. With a
// `piece` size the stream gets the text that many bytes at a time.
std::string read_all(char reader, std::string_view input, std::size_t piece = 0) {
  TextSource source(input, "t.tlq", piece);
  ParseContext& ctx = source.ctx;
  std::string out;
  int line = 1;
  const auto mark_line = [&] {
    if (ctx.line != line) out += "@" + std::to_string(line = ctx.line);
  };
  if (reader == 'c') {
    for (int c = next_char(ctx); c != kEof; c = next_char(ctx)) out += static_cast<char>(c);
    mark_line();
    return out;
  }
  const Reader read = reader == 'o' ? next_token : reader == 's' ? next_statement_token : raw_word;
  TokenText text = "unset";
  for (Token token = read(ctx, text); token != TK_EOF && out.size() < 100000;
       token = read(ctx, text)) {
    out += (out.empty() ? "" : " ") + shown(token, text.str());
    if (reader == 'r' && text.empty()) out += std::string(" ") + static_cast<char>(read_char(ctx));
    mark_line();
  }
  EXPECT_EQ(text, "");
  if (ctx.line != line) out += " ";
  mark_line();
  text = "unset";
  EXPECT_EQ(read(ctx, text), TK_EOF);  // end of file repeats, with an empty text
  EXPECT_EQ(text, "");
  return out;
}

struct Lexed {
  char reader;
  std::string input;
  std::string expected;
};

TEST(Lexer, WhatEachReaderDelivers) {
  const std::string w128(128, 'w');
  const std::vector<Lexed> cases = {
      // Numbers: leading zeros dropped, hexadecimal prefix written "0x".
      {'o', "0 007 000 010 0X1f 0x00ff 0x 0x000 12b 0b 12B -5 -0 -007 -0x1A 4294967296",
       "N:0 N:7 N:0 N:10 N:0x1f N:0xff N:0x0 N:0x0 N:12b N:0b N:12B N:-5 N:-0 N:-7 N:-0x1A "
       "N:4294967296"},
      {'o', "1-2 12abc 12bx 0xg 00x5 5bb 0x1b",
       "N:1 N:-2 N:12 W:abc N:12b W:x N:0x0 W:g N:0 W:x5 N:5b W:b N:0x1b"},
      {'o', "- 5 -b -x", "W:- N:5 W:-b W:- W:x"},
      {'o', "12/* c */34 1..5 1...5", "N:12 N:34 N:1 .. N:5 N:1 ... N:5"},
      {'o', "12/**/34", "N:12"},  // "/**" opens a marker comment
      {'o', std::string(130, '7'), "N:" + std::string(128, '7') + " N:77"},
      {'o', "-" + std::string(130, '7'), "N:-" + std::string(127, '7') + " N:777"},
      {'o', "0x" + std::string(130, 'f'), "N:0x" + std::string(126, 'f') + " W:ffff"},
      {'o', std::string(128, '1') + "b", "N:" + std::string(128, '1') + "b"},
      {'o', std::string(200, '0') + "12", "N:12"},
      // Words, their 128-character pieces, bytes of no class.
      {'o', "a-b.c:d_e9 _a mod::Type a{b", "W:a-b.c:d_e9 W:_a W:mod::Type W:a { W:b"},
      {'o', "a/*c*/b a//c\nb a\xe9z", "W:a W:b W:a@2 W:b W:a W:\xe9 W:z"},
      {'o', std::string(130, 'w'), "W:" + w128 + " W:ww"},
      {'o', std::string(256, 'w'), "W:" + w128 + " W:" + w128},
      {'o', w128 + "-5", "W:" + w128 + " N:-5"},
      {'o', std::string("a\0b\x80\xff", 5), "W:a W: W:b W:\x80 W:\xff"},
      {'o', "module Module MODULE ipv4 ipv6 unquoted-ascii unquoted-asciix",
       "module W:Module W:MODULE ipv4 ipv6 unquoted-ascii W:unquoted-asciix"},
      // Punctuation: the longest of "..." and "..", else one character.
      {'o', ". . .. ... .... ..... .x", "W:. W:. .. ... ... W:. ... .. W:. W:x"},
      {'o', "../x .//c\n.", ".. W:/ W:x W:.@2 W:."},
      {'o', "{}<>[]?*+;,/=(\"", "{ } < > [ ] ? * + ; , W:/ W:= W:( W:\""},
      {'o', "5/x ab/> ../. +a", "N:5 W:/ W:x W:ab W:/ > .. W:/ W:. + W:a"},
      // The character after a token is read with it: a comment there too.
      {'o', "ab/*\n*/x 7/*\n*/x ../*\n*/x .../*\n*/x ab//c\nx",
       "W:ab@2 W:x N:7@3 W:x ..@4 W:x ...@5 W:x W:ab@6 W:x"},
      {'o', "alpha\nbeta\n\n12\n", "W:alpha W:beta@2 N:12@4 @5"},
      {'o', "  /* open comment", ""},
      // The statement reader: a letter or '+' begins a word.
      {'s', "+core.types + _ab -5 12 module Module unquoted-ascii ...",
       "W:+core.types + W:_ W:ab W:- N:5 N:1 N:2 module W:Module unquoted-ascii ..."},
      {'s', "a/*c*/b\nc", "W:a W:b W:c@2"},
      // Raw words end only at white space, ';', ',' or end of file.
      {'r', "a::b{<.x>} next module 12 { a/*c*/b a/",
       "W:a::b{<.x>} W:next W:module W:12 W:{ W:a W:b W:a/"},
      {'r', "  ;x,y", "W: ; W:x W: , W:y"},
      {'r', std::string(130, 'r'), "W:" + std::string(128, 'r') + " W:rr"},
      {'r', std::string("ab\0cd ef", 8), "W:ab W:ef"},
      // Comments: nesting, close-all "**/", marker comments ending at "taloq*/".
      {'c',
       "a/* x */b a/* /* x */ y */b a/* /* x **/b a/*/ x */b a/* x /*/ y */b a/* * / */b "
       "a/* /* x */* y */ */b a/* /* **x*/ y */b a/**taloq*/b a/** x */ y taloq*/b "
       "a/* x taloq*/b a/** /* **/ */ taloq*/b a/**xtaloq*/b a/***/b taloq*/c",
       "a b a b a b a b a b a b a b a b a b a b a b a b a b a c"},
      {'c', "a/* x */* y */b a/* /* /* x **/b */c a/**taloq*/ taloq*/b",
       "a * y */b a b */c a  taloq*/b"},
      {'c', "a// x\nb /* 1\n2\n3 */x a/b a/ a\r\nb\rc\r", "a b  x a/b a/ a\nb\rc\r@5"},
  };
  // The text whole, and read in pieces that end at every possible place.
  for (const std::size_t piece : {0, 1, 2, 5}) {
    for (const Lexed& c : cases) {
      EXPECT_EQ(read_all(c.reader, c.input, piece), c.expected)
          << c.reader << " \"" << c.input << "\" in pieces of " << piece;
    }
  }
  // Comments that run to end of file: "/*" directly followed by "*/" opens a
  // marker comment; the marker is the five letters right before "*/".
  for (const char* text : {"a/**/b", "a/** taloq */b", "a/** TALOQ*/b", "a/**talo*/q*/b",
                           "a/* open", "a/*", "a/** open", "a// last line"}) {
    EXPECT_EQ(read_all('c', text), "a ") << text;
  }
}

TEST(Lexer, FastPathMatchesReadingCharacterByCharacter) {
  // Pieces that meet at every boundary the scanners care about.
  const std::vector<std::string> pieces = {"a",
                                           "Msg",
                                           "x1",
                                           "_u",
                                           "-",
                                           ".",
                                           ":",
                                           " ",
                                           "\t",
                                           "\n",
                                           "\r\n",
                                           "\r",
                                           "/",
                                           "*",
                                           "/*",
                                           "*/",
                                           "//",
                                           "/**",
                                           "taloq*/",
                                           ";",
                                           "{",
                                           "7",
                                           "0",
                                           "00",
                                           "1234",
                                           "0x1F",
                                           "0X",
                                           "aF9",
                                           "b",
                                           "B",
                                           "+",
                                           "-0",
                                           "x",
                                           std::string(140, '5'),
                                           std::string(1, '\0'),
                                           "\xE9",
                                           std::string(130, 'w'),
                                           std::string(127, 'v'),
                                           std::string(400, ' '),
                                           "..",
                                           "..."};
  const auto lines_and_tokens = [](std::string_view text, Reader reader, std::size_t piece = 0) {
    TextSource source(text, "t.tlq", piece);
    std::string out;
    TokenText token_text;
    for (Token token = TK_WORD; token != TK_EOF && out.size() < 200000;) {
      token = reader(source.ctx, token_text);
      out += std::to_string(token) + ":" + token_text.str() + "@" + std::to_string(source.ctx.line) + " ";
    }
    return out;
  };
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    for (int i = std::uniform_int_distribution<int>(1, 40)(random); i > 0; --i) {
      text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
    }
    const std::string by_characters = lines_and_tokens(text, next_token_by_characters);
    ASSERT_EQ(lines_and_tokens(text, next_token), by_characters) << round;
    // A stream that reads on as it goes: the fast path never takes a token
    // cut at the end of what has been read.
    ASSERT_EQ(lines_and_tokens(text, next_token, 1 + round % 200), by_characters) << round;
    const std::string statements = lines_and_tokens(text, next_statement_token_by_characters);
    ASSERT_EQ(lines_and_tokens(text, next_statement_token), statements) << round;
    ASSERT_EQ(lines_and_tokens(text, next_statement_token, 1 + round % 200), statements) << round;
  }
}

TEST(Lexer, TokensTakenWholeFromTheBuffer) {
  // The length taken at once, or 0 where the character reader must read.
  const std::vector<std::pair<std::string, std::size_t>> ordinary = {{"abc def", 3},
                                                                     {"a.b-c:d_e;", 9},
                                                                     {"ab/* c */", 0},
                                                                     {"ab/x", 0},
                                                                     {std::string(130, 'w'), 128},
                                                                     {"12;", 2},
                                                                     {"-12 ", 3},
                                                                     {"0..9", 1},
                                                                     {"-0]", 2},
                                                                     {"0", 1},
                                                                     {"007", 0},
                                                                     {"0x1F", 0},
                                                                     {"5b", 0},
                                                                     {"5B", 0},
                                                                     {"5/", 0},
                                                                     {"-", 0},
                                                                     {"-x", 0},
                                                                     {";", 1},
                                                                     {"{x", 1},
                                                                     {"\xE9", 1},
                                                                     {"..5", 2},
                                                                     {"...x", 3},
                                                                     {"....", 3},
                                                                     {"../", 0},
                                                                     {".../", 0},
                                                                     {". ", 1},
                                                                     {{"\0", 1}, 0},
                                                                     {"/", 0},
                                                                     {"", 0},
                                                                     {std::string(128, 'w'), 128}};
  // The code the scan gives with a length is the one the text's own
  // classification gives.
  const auto same_code = [](MeasuredToken measured, const std::string& text) {
    return measured.length == 0 || measured.token == classify_token(text.substr(0, measured.length));
  };
  for (const auto& [text, length] : ordinary) {
    EXPECT_EQ(ordinary_token_length(text), length) << text;
    EXPECT_TRUE(same_code(measure_ordinary_token(text), text)) << text;
  }
  const std::vector<std::pair<std::string, std::size_t>> statement = {{"+core.types;", 11},
                                                                      {"+;", 1},
                                                                      {"struct{", 6},
                                                                      {"_x", 1},
                                                                      {"5", 1},
                                                                      {"-", 1},
                                                                      {"..", 2},
                                                                      {"a/", 0},
                                                                      {"", 0}};
  for (const auto& [text, length] : statement) {
    EXPECT_EQ(statement_token_length(text), length) << text;
    EXPECT_TRUE(same_code(measure_statement_token(text), text)) << text;
  }
}

TEST(Lexer, CharStreamGivesBackByStepOrByHolding) {
  CharStream stream("ab\r\nc");
  EXPECT_EQ(stream.get(), 'a');
  stream.unget('a');  // the character just taken: a step back
  EXPECT_FALSE(stream.has_pending());
  EXPECT_EQ(stream.get(), 'a');
  stream.unget(' ');  // anything else (a comment's stand-in) is held
  EXPECT_TRUE(stream.has_pending());
  EXPECT_EQ(stream.get(), ' ');
  stream.unget(' ');  // held again, not stepped back to
  EXPECT_EQ(stream.get(), ' ');
  EXPECT_EQ(stream.get(), 'b');
  EXPECT_EQ(stream.get(), '\n');  // "\r\n" folded, and given back whole
  stream.unget('\n');
  stream.unget('b');  // two given back, the later first
  EXPECT_EQ(stream.unread_text(), "\r\nc");
  EXPECT_EQ(stream.get(), 'b');
  EXPECT_EQ(stream.get(), '\n');
  EXPECT_EQ(stream.get(), 'c');
  EXPECT_EQ(stream.get(), kEof);
  stream.unget(kEof);  // end of file is never given back
  EXPECT_FALSE(stream.has_pending());
  EXPECT_EQ(stream.get(), kEof);
}

TEST(Lexer, KeywordLookupFindsEveryEntryAndNothingElse) {
  // The reserved texts of the language in code order, written out: a
  // misspelt entry would turn a keyword into a name and back.
  std::string reserved;
  for (const KeywordEntry& entry : keyword_table) reserved += std::string(entry.text) + ' ';
  EXPECT_EQ(reserved,
            "taloq module import extends plug into struct union combi { } void bool int float "
            "single double oid ascii unquoted-ascii unicode bytes embedded const ipv4 ipv6 date "
            "time ... endmodule < > .. [ ] ignore as plugin pluggable smark emark exec ? * + ; , ");
  for (const KeywordEntry& entry : keyword_table) {
    const std::string text(entry.text);
    EXPECT_EQ(lookup_keyword(text), entry.token) << text;
    EXPECT_EQ(classify_token(text), entry.token) << text;
    EXPECT_EQ(lookup_keyword(text + "x"), std::nullopt) << text;
    EXPECT_EQ(lookup_keyword(" " + text), std::nullopt) << text;
    std::string capital = text;
    capital[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(capital[0])));
    if (capital != text) {
      EXPECT_EQ(lookup_keyword(capital), std::nullopt) << capital;
    }
    const std::string shorter = text.substr(0, text.size() - 1);
    bool listed = false;
    for (const KeywordEntry& other : keyword_table) listed = listed || other.text == shorter;
    EXPECT_EQ(lookup_keyword(shorter).has_value(), listed) << shorter;
  }
  for (int byte = 0; byte < 256; ++byte) {
    const std::string text(1, static_cast<char>(byte));
    std::optional<Token> listed;
    for (const KeywordEntry& entry : keyword_table) {
      if (entry.text == text) listed = entry.token;
    }
    EXPECT_EQ(lookup_keyword(text), listed) << byte;
  }
  for (const char* text : {"", "Taloq", "unquoted_ascii", "unquoted-asci", "ipv5", ".", "....",
                           "endmodul", "plugins", "unquoted-asciiunquoted-ascii", "-", "-x"}) {
    EXPECT_EQ(classify_token(text), TK_WORD) << text;
  }
  for (const char* text : {"5x", "-5", "0"}) EXPECT_EQ(classify_token(text), TK_NUMBER) << text;
}

// Which of the name predicates accept a text: I is_identifier, T is_tag,
// C is_const_expression, M is_module_name, R is_reference_name.
std::string accepted_by(std::string_view text) {
  std::string out;
  out += is_identifier(text) ? 'I' : '-';
  out += is_tag(text) ? 'T' : '-';
  out += is_const_expression(text) ? 'C' : '-';
  out += is_module_name(text) ? 'M' : '-';
  out += is_reference_name(text) ? 'R' : '-';
  return out;
}

TEST(Lexer, NamePredicates) {
  // The texts that exactly these predicates accept.
  const std::vector<std::pair<std::string, std::vector<std::string>>> cases = {
      {"ITCMR", {"a", "a-b", "x_1", "Z9-_z", "Sys-1", "Type"}},
      {"-----",
       {"", "=a", ",a", "\"a", "'a", "{a", "}a", "(a", ")a", "[a", "a)b", "a=b", "a}b", "a,b",
        "(a)", "a)", "{"}},
      {"-TC--", {"_a", "a:b",   "a b",     "a\xe9",   "\xe9", "a+",    "a?",      "?opt", "a(b",
                 "*",  "a[b",   "a\"b",    "t{",      "a'b",  "]a",    "MAX - 1", " x",   "a/b",
                 "/x", "mod::", "mod::1x", "mod::+x", ";",    "a::b!", "a!",      "::a",  "a:::b"}},
      {"--C--", {"1a", "9a", "-a", "-1"}},
      {"-TCM-", {"a.b", "+core.types"}},
      {"-TCMR", {"+a", "+"}},
      {"-T---", {"//x", "/*x"}},
      {"-TC-R", {"a::b", "mod.sub::Type", "mod::Type.part", "m::T-x_1", "m::T:rest!"}},
  };
  for (const auto& [expected, texts] : cases) {
    for (const std::string& text : texts) EXPECT_EQ(accepted_by(text), expected) << text;
  }
  for (const auto& [in, out] : std::vector<std::pair<std::string, std::string>>{{"a-b", "a_b"},
                                                                                {"a.b:c", "a_b_c"},
                                                                                {"x_y", "x_y"},
                                                                                {"--", "__"},
                                                                                {"", ""},
                                                                                {"z:", "z_"}}) {
    std::string text = in;
    to_identifier(text);
    EXPECT_EQ(text, out);
    const IdentifierShape shape = identifier_shape(in);
    if (shape != IdentifierShape::kNotIdentifier) {
      EXPECT_EQ(shape == IdentifierShape::kIdentifierWithDash, in != out) << in;
    }
  }
}

TEST(Lexer, NumberTexts) {
  const std::vector<std::pair<const char*, std::optional<std::uint32_t>>> cases = {
      {"0", 0},
      {"7", 7},
      {"4294967295", 4294967295u},
      {"4294967296", 4294967295u},
      {"99999999999999999999999", 4294967295u},
      {"0x1B", 27},
      {"0x1b", 27},
      {"0xff", 255},
      {"0xFFFFFFFF", 4294967295u},
      {"0x100000000", 4294967295u},
      {"0x0", 0},
      {"0b", 0},
      {"1b", 1},
      {"8b", 255},
      {"12b", 4095},
      {"12B", 4095},
      {"31b", 2147483647u},
      {"32b", 4294967295u},
      {"-7", 7},
      {"-0x10", 16},
      {"-3b", 7},
      {"33b", std::nullopt},
      {"100B", std::nullopt},
      {"99999999999b", std::nullopt},
      {"-33b", std::nullopt},
  };
  for (const auto& [text, value] : cases) {
    EXPECT_EQ(convert_number(text), value) << text;
    TextSource source("");
    EXPECT_EQ(to_number(source.ctx, text), value.value_or(4294967295u)) << text;
    EXPECT_EQ(source.ctx.errors, value ? 0 : 1) << text;
    EXPECT_EQ(source.captured.run.errors, value ? 0 : 1) << text;
    EXPECT_EQ(
        source.captured.text(),
        value ? "" : "ERROR: Unable to convert " + std::string(text) + " to numerical value\n");
  }
  TextSource source("");
  for (const auto& [text, value] :
       std::vector<std::pair<const char*, std::int32_t>>{{"-7", -7},
                                                         {"7", 7},
                                                         {"-0x10", -16},
                                                         {"-2147483648", INT32_MIN},
                                                         {"-0", 0},
                                                         {"-1b", -1},
                                                         {"-40b", 1}}) {
    EXPECT_EQ(to_signed_number(source.ctx, text), value) << text;
  }
  EXPECT_EQ(source.ctx.errors, 1);  // -40b, whose saturated magnitude is negated
}

}  // namespace
}  // namespace taloq
