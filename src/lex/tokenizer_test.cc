#include "lex/tokenizer.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <utility>
#include <vector>

#include "lex/char_class.h"
#include "lex/char_input.h"
#include "test_support.h"

namespace taloq {
namespace {

using testing::TextSource;
using Tokens = std::vector<std::pair<Token, std::string>>;

using Reader = Token (*)(ParseContext&, TokenText&);

Token raw_word(ParseContext& ctx, TokenText& text) {
  return read_raw_word(ctx, text);
}

// Every token of the text read with one reader, up to end of file.
Tokens tokens_of(std::string_view text, Reader reader = next_token) {
  TextSource source(text);
  Tokens tokens;
  TokenText token_text = "not written";
  for (Token token = reader(source.ctx, token_text); token != TK_EOF;
       token = reader(source.ctx, token_text)) {
    tokens.emplace_back(token, token_text);
    if (tokens.size() > 10000) break;  // a reader that makes no progress
  }
  EXPECT_EQ(token_text, "");
  return tokens;
}

TEST(ScanNumber, DropsLeadingZerosAndWritesTheHexPrefixSmall) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"0", "0"},       {"007", "7"},       {"000", "0"},       {"010", "10"},
      {"0X1f", "0x1f"}, {"0x00ff", "0xff"}, {"0x", "0x0"},      {"0x000", "0x0"},
      {"12b", "12b"},   {"0b", "0b"},       {"12B", "12B"},     {"-5", "-5"},
      {"-0", "-0"},     {"-007", "-7"},     {"-0x1A", "-0x1A"}, {"4294967296", "4294967296"},
  };
  for (const auto& [input, text] : cases) {
    EXPECT_EQ(tokens_of(input), (Tokens{{TK_NUMBER, text}})) << input;
  }
}

TEST(ScanNumber, EndsWhereTheDigitsEnd) {
  EXPECT_EQ(tokens_of("1-2"), (Tokens{{TK_NUMBER, "1"}, {TK_NUMBER, "-2"}}));
  EXPECT_EQ(tokens_of("12abc"), (Tokens{{TK_NUMBER, "12"}, {TK_WORD, "abc"}}));
  EXPECT_EQ(tokens_of("12bx"), (Tokens{{TK_NUMBER, "12b"}, {TK_WORD, "x"}}));
  EXPECT_EQ(tokens_of("0xg"), (Tokens{{TK_NUMBER, "0x0"}, {TK_WORD, "g"}}));
  EXPECT_EQ(tokens_of("00x5"), (Tokens{{TK_NUMBER, "0"}, {TK_WORD, "x5"}}));
  EXPECT_EQ(tokens_of("5bb"), (Tokens{{TK_NUMBER, "5b"}, {TK_WORD, "b"}}));
  EXPECT_EQ(tokens_of("0x1b"), (Tokens{{TK_NUMBER, "0x1b"}}));
  // A minus sign without a digit is a word.
  EXPECT_EQ(tokens_of("- 5"), (Tokens{{TK_WORD, "-"}, {TK_NUMBER, "5"}}));
  EXPECT_EQ(tokens_of("-b"), (Tokens{{TK_WORD, "-b"}}));
  EXPECT_EQ(tokens_of("-x"), (Tokens{{TK_WORD, "-"}, {TK_WORD, "x"}}));
  // A comment inside a number splits it.
  EXPECT_EQ(tokens_of("12/**/34"), (Tokens{{TK_NUMBER, "12"}}));
  EXPECT_EQ(tokens_of("12/* c */34"), (Tokens{{TK_NUMBER, "12"}, {TK_NUMBER, "34"}}));
  EXPECT_EQ(tokens_of("1..5"), (Tokens{{TK_NUMBER, "1"}, {TK_RANGE, ".."}, {TK_NUMBER, "5"}}));
  EXPECT_EQ(tokens_of("1...5"), (Tokens{{TK_NUMBER, "1"}, {TK_ELLIPSIS, "..."}, {TK_NUMBER, "5"}}));
}

TEST(ScanNumber, SplitsAfter128Characters) {
  const std::string digits(130, '7');
  EXPECT_EQ(tokens_of(digits),
            (Tokens{{TK_NUMBER, std::string(128, '7')}, {TK_NUMBER, std::string(2, '7')}}));
  // The sign and the hexadecimal prefix count; the mask suffix comes on top.
  EXPECT_EQ(tokens_of("-" + digits),
            (Tokens{{TK_NUMBER, "-" + std::string(127, '7')}, {TK_NUMBER, "777"}}));
  EXPECT_EQ(tokens_of("0x" + std::string(130, 'f')),
            (Tokens{{TK_NUMBER, "0x" + std::string(126, 'f')}, {TK_WORD, "ffff"}}));
  EXPECT_EQ(tokens_of(std::string(128, '1') + "b"),
            (Tokens{{TK_NUMBER, std::string(128, '1') + "b"}}));
  // Dropped leading zeros do not count.
  EXPECT_EQ(tokens_of(std::string(200, '0') + "12"), (Tokens{{TK_NUMBER, "12"}}));
}

TEST(ScanWord, JoinsLettersDigitsAndConnectors) {
  EXPECT_EQ(tokens_of("a-b.c:d_e9"), (Tokens{{TK_WORD, "a-b.c:d_e9"}}));
  EXPECT_EQ(tokens_of("_a"), (Tokens{{TK_WORD, "_a"}}));
  EXPECT_EQ(tokens_of("mod::Type"), (Tokens{{TK_WORD, "mod::Type"}}));
  EXPECT_EQ(tokens_of("a{b"), (Tokens{{TK_WORD, "a"}, {TK_LBRACE, "{"}, {TK_WORD, "b"}}));
  EXPECT_EQ(tokens_of("a/*c*/b"), (Tokens{{TK_WORD, "a"}, {TK_WORD, "b"}}));
  EXPECT_EQ(tokens_of("a//c\nb"), (Tokens{{TK_WORD, "a"}, {TK_WORD, "b"}}));
  EXPECT_EQ(tokens_of("a\xe9z"), (Tokens{{TK_WORD, "a"}, {TK_WORD, "\xe9"}, {TK_WORD, "z"}}));
}

TEST(ScanWord, SplitsAfter128Characters) {
  EXPECT_EQ(tokens_of(std::string(130, 'a')),
            (Tokens{{TK_WORD, std::string(128, 'a')}, {TK_WORD, "aa"}}));
  EXPECT_EQ(tokens_of(std::string(256, 'q')),
            (Tokens{{TK_WORD, std::string(128, 'q')}, {TK_WORD, std::string(128, 'q')}}));
  // The 129th character may begin a number.
  EXPECT_EQ(tokens_of(std::string(128, 'a') + "-5"),
            (Tokens{{TK_WORD, std::string(128, 'a')}, {TK_NUMBER, "-5"}}));
}

TEST(ScanPunct, ReadsTheLongestRangeOrEllipsis) {
  EXPECT_EQ(tokens_of("."), (Tokens{{TK_WORD, "."}}));
  EXPECT_EQ(tokens_of(". ."), (Tokens{{TK_WORD, "."}, {TK_WORD, "."}}));
  EXPECT_EQ(tokens_of(".."), (Tokens{{TK_RANGE, ".."}}));
  EXPECT_EQ(tokens_of("..."), (Tokens{{TK_ELLIPSIS, "..."}}));
  EXPECT_EQ(tokens_of("...."), (Tokens{{TK_ELLIPSIS, "..."}, {TK_WORD, "."}}));
  EXPECT_EQ(tokens_of("....."), (Tokens{{TK_ELLIPSIS, "..."}, {TK_RANGE, ".."}}));
  EXPECT_EQ(tokens_of(".x"), (Tokens{{TK_WORD, "."}, {TK_WORD, "x"}}));
  EXPECT_EQ(tokens_of("../x"), (Tokens{{TK_RANGE, ".."}, {TK_WORD, "/"}, {TK_WORD, "x"}}));
  EXPECT_EQ(tokens_of(".//c\n."), (Tokens{{TK_WORD, "."}, {TK_WORD, "."}}));
  const Tokens singles = {
      {TK_LBRACE, "{"},   {TK_RBRACE, "}"},   {TK_LT, "<"},   {TK_GT, ">"},   {TK_LBRACKET, "["},
      {TK_RBRACKET, "]"}, {TK_QUESTION, "?"}, {TK_STAR, "*"}, {TK_PLUS, "+"}, {TK_SEMICOLON, ";"},
      {TK_COMMA, ","},    {TK_WORD, "/"},     {TK_WORD, "="}, {TK_WORD, "("}, {TK_WORD, "\""}};
  EXPECT_EQ(tokens_of("{}<>[]?*+;,/=(\""), singles);
  EXPECT_EQ(tokens_of("/"), (Tokens{{TK_WORD, "/"}}));
}

TEST(StatementToken, LettersAndPlusBeginWordsEverythingElseStandsAlone) {
  EXPECT_EQ(tokens_of("+core.types", next_statement_token), (Tokens{{TK_WORD, "+core.types"}}));
  EXPECT_EQ(tokens_of("+", next_statement_token), (Tokens{{TK_PLUS, "+"}}));
  EXPECT_EQ(tokens_of("_ab", next_statement_token), (Tokens{{TK_WORD, "_"}, {TK_WORD, "ab"}}));
  EXPECT_EQ(tokens_of("-5", next_statement_token), (Tokens{{TK_WORD, "-"}, {TK_NUMBER, "5"}}));
  EXPECT_EQ(tokens_of("12", next_statement_token), (Tokens{{TK_NUMBER, "1"}, {TK_NUMBER, "2"}}));
  EXPECT_EQ(tokens_of("module Module", next_statement_token),
            (Tokens{{TK_MODULE, "module"}, {TK_WORD, "Module"}}));
  EXPECT_EQ(tokens_of("unquoted-ascii", next_statement_token),
            (Tokens{{TK_UNQUOTED_ASCII, "unquoted-ascii"}}));
  EXPECT_EQ(tokens_of("...", next_statement_token), (Tokens{{TK_ELLIPSIS, "..."}}));
  // For next_token the same texts read as a number and a word.
  EXPECT_EQ(tokens_of("-5 _ab"), (Tokens{{TK_NUMBER, "-5"}, {TK_WORD, "_ab"}}));
  EXPECT_EQ(tokens_of("+a"), (Tokens{{TK_PLUS, "+"}, {TK_WORD, "a"}}));
}

TEST(RawWord, EndsOnlyAtWhiteSpaceSemicolonOrComma) {
  EXPECT_EQ(tokens_of("a::b{<.x>} next", raw_word),
            (Tokens{{TK_WORD, "a::b{<.x>}"}, {TK_WORD, "next"}}));
  EXPECT_EQ(tokens_of("module 12 {", raw_word),
            (Tokens{{TK_WORD, "module"}, {TK_WORD, "12"}, {TK_WORD, "{"}}));
  EXPECT_EQ(tokens_of("a/*c*/b", raw_word), (Tokens{{TK_WORD, "a"}, {TK_WORD, "b"}}));
  EXPECT_EQ(tokens_of(std::string(130, 'r'), raw_word),
            (Tokens{{TK_WORD, std::string(128, 'r')}, {TK_WORD, "rr"}}));

  TextSource source("  ;x,y");
  TokenText text;
  EXPECT_EQ(read_raw_word(source.ctx, text), TK_WORD);
  EXPECT_EQ(text, "");
  EXPECT_EQ(read_char(source.ctx), ';');
  EXPECT_EQ(read_raw_word(source.ctx, text), TK_WORD);
  EXPECT_EQ(text, "x");
  EXPECT_EQ(read_char(source.ctx), ',');
  EXPECT_EQ(read_raw_word(source.ctx, text), TK_WORD);
  EXPECT_EQ(text, "y");
  EXPECT_EQ(read_raw_word(source.ctx, text), TK_EOF);
  EXPECT_EQ(text, "");
}

TEST(RawWord, NulEndsTheTextButNotTheWord) {
  TextSource source(std::string_view("ab\0cd ef", 8));
  TokenText text;
  std::size_t raw_length = 0;
  EXPECT_EQ(read_raw_word(source.ctx, text, &raw_length), TK_WORD);
  EXPECT_EQ(text, "ab");
  EXPECT_EQ(raw_length, 5u);
  EXPECT_EQ(read_raw_word(source.ctx, text, &raw_length), TK_WORD);
  EXPECT_EQ(text, "ef");
  EXPECT_EQ(read_raw_word(source.ctx, text, &raw_length), TK_EOF);
  EXPECT_EQ(raw_length, 0u);
}

TEST(Tokens, NulAndHighBytesAreTextsOfOneCharacter) {
  EXPECT_EQ(tokens_of(std::string_view("a\0b", 3)),
            (Tokens{{TK_WORD, "a"}, {TK_WORD, ""}, {TK_WORD, "b"}}));
  EXPECT_EQ(tokens_of("\x80\xff"), (Tokens{{TK_WORD, "\x80"}, {TK_WORD, "\xff"}}));
}

TEST(Tokens, KeywordsAreCaseSensitive) {
  EXPECT_EQ(tokens_of("module Module MODULE ipv4 ipv6 unquoted-ascii unquoted-asciix"),
            (Tokens{{TK_MODULE, "module"},
                    {TK_WORD, "Module"},
                    {TK_WORD, "MODULE"},
                    {TK_IPV4, "ipv4"},
                    {TK_IPV6, "ipv6"},
                    {TK_UNQUOTED_ASCII, "unquoted-ascii"},
                    {TK_WORD, "unquoted-asciix"}}));
}

TEST(Tokens, EndOfFileRepeatsWithAnEmptyText) {
  for (Reader reader : {static_cast<Reader>(next_token), static_cast<Reader>(next_statement_token),
                        static_cast<Reader>(raw_word)}) {
    TextSource source("  /* open comment");
    TokenText text = "old";
    for (int i = 0; i < 3; ++i) {
      EXPECT_EQ(reader(source.ctx, text), TK_EOF);
      EXPECT_EQ(text, "");
      text = "old";
    }
  }
}

TEST(Tokens, LineStaysOnTheTokenAfterThePushBack) {
  TextSource source("alpha\nbeta\n\n12\n");
  TokenText text;
  next_token(source.ctx, text);
  EXPECT_EQ(source.ctx.line, 1);
  next_token(source.ctx, text);
  EXPECT_EQ(source.ctx.line, 2);
  next_token(source.ctx, text);
  EXPECT_EQ(text, "12");
  EXPECT_EQ(source.ctx.line, 4);
  next_token(source.ctx, text);
  EXPECT_EQ(source.ctx.line, 5);
}

TEST(Tokens, ACommentRightAfterATokenIsReadWithIt) {
  // The character after a token is read before the token is returned, so a
  // comment there is already behind the reader: its line ends count.
  for (const auto& [input, first] :
       std::vector<std::pair<std::string, std::string>>{{"ab/*\n*/x", "ab"},
                                                        {"7/*\n*/x", "7"},
                                                        {"../*\n*/x", ".."},
                                                        {".../*\n*/x", "..."},
                                                        {"ab//c\nx", "ab"}}) {
    TextSource source(input);
    TokenText text;
    next_token(source.ctx, text);
    EXPECT_EQ(text, first) << input;
    EXPECT_EQ(source.ctx.line, 2) << input;
    next_token(source.ctx, text);
    EXPECT_EQ(text, "x") << input;
  }
}

TEST(Tokens, TwoCharactersOfPushBackAfterALoneSlash) {
  // The number reader stops at '/', which next_char returned with the 'x'
  // behind it pending: both come back in order.
  EXPECT_EQ(tokens_of("5/x"), (Tokens{{TK_NUMBER, "5"}, {TK_WORD, "/"}, {TK_WORD, "x"}}));
  EXPECT_EQ(tokens_of("ab/>"), (Tokens{{TK_WORD, "ab"}, {TK_WORD, "/"}, {TK_GT, ">"}}));
  EXPECT_EQ(tokens_of("../."), (Tokens{{TK_RANGE, ".."}, {TK_WORD, "/"}, {TK_WORD, "."}}));
  EXPECT_EQ(tokens_of("a/", raw_word), (Tokens{{TK_WORD, "a/"}}));
}

TEST(ClassifyToken, NumbersKeywordsAndWords) {
  EXPECT_EQ(classify_token("5x"), TK_NUMBER);
  EXPECT_EQ(classify_token("-5"), TK_NUMBER);
  EXPECT_EQ(classify_token("-"), TK_WORD);
  EXPECT_EQ(classify_token("-x"), TK_WORD);
  EXPECT_EQ(classify_token(""), TK_WORD);
  EXPECT_EQ(classify_token("struct"), TK_STRUCT);
  EXPECT_EQ(classify_token("Struct"), TK_WORD);
  EXPECT_EQ(classify_token(";"), TK_SEMICOLON);
}

}  // namespace
}  // namespace taloq

namespace taloq {
namespace {

struct LineToken {
  Token token;
  std::string text;
  int line;
  bool operator==(const LineToken&) const = default;
};

std::vector<LineToken> tokens_with_lines(std::string_view text, Reader reader) {
  TextSource source(text);
  std::vector<LineToken> tokens;
  TokenText token_text;
  for (;;) {
    const Token token = reader(source.ctx, token_text);
    tokens.push_back({token, token_text, source.ctx.line});
    if (token == TK_EOF || tokens.size() > 20000) break;
  }
  return tokens;
}

TEST(Tokens, BufferScanningMatchesReadingCharacterByCharacter) {
  // Pieces chosen to meet at every boundary the scanners care about: words
  // running into comments, line ends in both spellings, NULs, long words.
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
                                           "..",
                                           "..."};
  std::mt19937 random(7);
  for (int round = 0; round < 3000; ++round) {
    std::string text;
    const int count = std::uniform_int_distribution<int>(1, 40)(random);
    for (int i = 0; i < count; ++i) {
      text += pieces[std::uniform_int_distribution<std::size_t>(0, pieces.size() - 1)(random)];
    }
    ASSERT_EQ(tokens_with_lines(text, next_token),
              tokens_with_lines(text, next_token_by_characters))
        << "round " << round;
    ASSERT_EQ(tokens_with_lines(text, next_statement_token),
              tokens_with_lines(text, next_statement_token_by_characters))
        << "round " << round;
  }
}

}  // namespace
}  // namespace taloq
