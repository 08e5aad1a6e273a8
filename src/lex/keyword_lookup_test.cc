#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "lex/token.h"
#include "lex/tokenizer.h"

namespace taloq {
namespace {

// The 47 texts of the keyword table in the order of their codes.
const std::vector<std::string> kTexts = {
    "taloq",   "module", "import",   "extends",   "plug",
    "into",    "struct", "union",    "combi",     "{",
    "}",       "void",   "bool",     "int",       "float",
    "single",  "double", "oid",      "ascii",     "unquoted-ascii",
    "unicode", "bytes",  "embedded", "const",     "ipv4",
    "ipv6",    "date",   "time",     "...",       "endmodule",
    "<",       ">",      "..",       "[",         "]",
    "ignore",  "as",     "plugin",   "pluggable", "smark",
    "emark",   "exec",   "?",        "*",         "+",
    ";",       ",",
};

TEST(KeywordTable, HoldsTheTextsInCodeOrder) {
  ASSERT_EQ(keyword_table.size(), 47u);
  ASSERT_EQ(kTexts.size(), 47u);
  for (std::size_t code = 0; code < kTexts.size(); ++code) {
    EXPECT_EQ(keyword_table[code].text, kTexts[code]) << code;
    EXPECT_EQ(static_cast<std::size_t>(keyword_table[code].token), code);
  }
  EXPECT_EQ(TK_LANGUAGE, 0);
  EXPECT_EQ(TK_ENDMODULE, 29);
  EXPECT_EQ(TK_COMMA, 46);
  EXPECT_EQ(TK_NUMBER, 47);
  EXPECT_EQ(TK_WORD, 48);
  EXPECT_EQ(TK_EOF, 49);
}

TEST(KeywordLookup, FindsEveryTextAndItsCode) {
  for (std::size_t code = 0; code < kTexts.size(); ++code) {
    const auto token = lookup_keyword(kTexts[code]);
    ASSERT_TRUE(token.has_value()) << kTexts[code];
    EXPECT_EQ(static_cast<std::size_t>(*token), code) << kTexts[code];
    EXPECT_EQ(static_cast<std::size_t>(classify_token(kTexts[code])), code) << kTexts[code];
  }
}

TEST(KeywordLookup, CapitalsAndNearMissesAreWords) {
  for (const std::string& text : kTexts) {
    std::string capital = text;
    capital[0] =
        static_cast<char>(capital[0] >= 'a' && capital[0] <= 'z' ? capital[0] - 32 : capital[0]);
    if (capital != text) {
      EXPECT_FALSE(lookup_keyword(capital).has_value()) << capital;
    }
    EXPECT_FALSE(lookup_keyword(text + "x").has_value()) << text;
    EXPECT_FALSE(lookup_keyword(" " + text).has_value()) << text;
    // A shortened text is a keyword only where the table holds it too.
    const std::string shorter = text.substr(0, text.size() - 1);
    const bool listed = std::find(kTexts.begin(), kTexts.end(), shorter) != kTexts.end();
    EXPECT_EQ(lookup_keyword(shorter).has_value(), listed) << shorter;
  }
  for (const char* text : {"", "INT", "Taloq", "unquoted_ascii", "unquoted-asci", "ipv5", "....",
                           "endmodul", "plugins", "unquoted-asciiunquoted-ascii"}) {
    EXPECT_FALSE(lookup_keyword(text).has_value()) << text;
    EXPECT_EQ(classify_token(text), TK_WORD) << text;
  }
  for (int byte = 0; byte < 256; ++byte) {
    const std::string text(1, static_cast<char>(byte));
    const auto listed = std::find(kTexts.begin(), kTexts.end(), text);
    const auto token = lookup_keyword(text);
    ASSERT_EQ(token.has_value(), listed != kTexts.end()) << byte;
    if (token) {
      EXPECT_EQ(static_cast<std::ptrdiff_t>(*token), listed - kTexts.begin()) << byte;
    }
  }
  EXPECT_EQ(classify_token("..."), TK_ELLIPSIS);
  EXPECT_EQ(classify_token(".."), TK_RANGE);
  EXPECT_EQ(classify_token("."), TK_WORD);
}

}  // namespace
}  // namespace taloq
