#include "lsp/text_lines.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

namespace taloq::lsp {
namespace {

TEST(LineIndex, SplitsAtLineFeedsWithoutCarriageReturns) {
  const LineIndex lines("a\r\nbc\n");
  ASSERT_EQ(lines.line_count(), 3u);
  EXPECT_EQ(lines.line(0), "a");
  EXPECT_EQ(lines.line(1), "bc");
  EXPECT_EQ(lines.line(2), "");
  EXPECT_EQ(lines.line(7), "");
  EXPECT_EQ(lines.line_of(0), 0u);
  EXPECT_EQ(lines.line_of(3), 1u);
  EXPECT_EQ(lines.line_of(6), 2u);
}

TEST(Columns, CountUtf16UnitsOrBytes) {
  struct Case {
    const char* line;
    std::size_t byte;
    std::size_t utf16;
    std::size_t utf8;
  };
  const std::vector<Case> cases = {
      {"abc", 2, 2, 2},
      {"\xc3\xa9=x", 2, 1, 2},               // é: two bytes, one unit
      {"\xf0\x9f\x98\x80x", 4, 2, 4},        // an emoji: four bytes, two units
      {"\xff\xfe a", 2, 2, 2},               // not UTF-8: a character per byte
      {"\xe2\x82", 2, 2, 2},                 // a sequence cut short
      {"ab", 9, 2, 2},                       // past the end
  };
  for (const Case& c : cases) {
    EXPECT_EQ(client_column(c.line, c.byte, Encoding::kUtf16), c.utf16) << c.line;
    EXPECT_EQ(client_column(c.line, c.byte, Encoding::kUtf8), c.utf8) << c.line;
    const std::size_t back = std::min<std::size_t>(c.byte, std::string_view(c.line).size());
    EXPECT_EQ(byte_column(c.line, c.utf16, Encoding::kUtf16), back) << c.line;
    EXPECT_EQ(byte_column(c.line, c.utf8, Encoding::kUtf8), back) << c.line;
  }
  // A column inside a character gives the character after it.
  EXPECT_EQ(byte_column("\xf0\x9f\x98\x80x", 1, Encoding::kUtf16), 4u);
}

TEST(AppendUtf8, KeepsUtf8AndReadsOtherBytesAsLatin1) {
  const std::vector<std::pair<std::string, std::string>> cases = {
      {"plain", "plain"},
      {"\xc3\xa9", "\xc3\xa9"},
      {"\xe9t\xe9", "\xc3\xa9t\xc3\xa9"},
      {"x\xc3", "x\xc3\x83"},
      {"\xed\xa0\x80", "\xc3\xad\xc2\xa0\xc2\x80"},  // a surrogate is no character
  };
  for (const auto& [text, utf8] : cases) {
    std::string out;
    append_utf8(out, text);
    EXPECT_EQ(out, utf8) << text;
  }
}

TEST(Uris, MapToPathsAndBack) {
  const std::vector<std::pair<std::string, std::optional<std::string>>> cases = {
      {"file:///home/a/shop.tlq", "/home/a/shop.tlq"},
      {"file:///home/a/my%20shop/x%23.tlq", "/home/a/my shop/x#.tlq"},
      {"FILE://localhost/x.tlq", "/x.tlq"},
      {"file:///home/a/shop.tlq?version=2", "/home/a/shop.tlq"},  // no query
      {"file:///home/a/shop.tlq#L3", "/home/a/shop.tlq"},        // nor fragment
      {"file://server/x.tlq", std::nullopt},
      {"untitled:Untitled-1", std::nullopt},
  };
  for (const auto& [uri, path] : cases) EXPECT_EQ(uri_to_path(uri), path) << uri;
  EXPECT_EQ(path_to_uri("/home/a/my shop/x#\xc3\xa9.tlq"),
            "file:///home/a/my%20shop/x%23%C3%A9.tlq");
  EXPECT_EQ(uri_to_path(path_to_uri("/a b/%c")), "/a b/%c");
}

}  // namespace
}  // namespace taloq::lsp
