#include "dump/latin1_text.h"

#include <gtest/gtest.h>

#include <rapidjson/encodings.h>
#include <rapidjson/memorystream.h>

#include <string>

namespace taloq {
namespace {

std::string utf8(std::string_view text) {
  std::string out;
  append_latin1_as_utf8(out, text);
  return out;
}

bool is_valid_utf8(const std::string& text) {
  rapidjson::MemoryStream stream(text.data(), text.size());
  while (stream.Tell() < text.size()) {
    unsigned code_point = 0;
    if (!rapidjson::UTF8<>::Decode(stream, &code_point)) return false;
  }
  return true;
}

TEST(Latin1Text, AsciiIsUnchanged) {
  EXPECT_EQ(utf8("Header_1 ::x"), "Header_1 ::x");
  EXPECT_EQ(utf8(""), "");
}

TEST(Latin1Text, HighBytesBecomeTheirCharacters) {
  EXPECT_EQ(utf8("\x80"), "\xC2\x80");
  EXPECT_EQ(utf8("caf\xE9"), "caf\xC3\xA9");  // e with acute accent
  EXPECT_EQ(utf8("\xFF"), "\xC3\xBF");
  EXPECT_EQ(utf8("\xC3\xA9"), "\xC3\x83\xC2\xA9");  // bytes, not UTF-8 input
}

TEST(Latin1Text, EveryByteGivesValidUtf8) {
  std::string all;
  for (int byte = 1; byte < 256; ++byte) all += static_cast<char>(byte);
  const std::string out = utf8(all);
  EXPECT_EQ(out.size(), 127u + 2u * 128u);
  EXPECT_TRUE(is_valid_utf8(out));
}

TEST(Latin1Text, Appends) {
  std::string out = "x";
  append_latin1_as_utf8(out, "\xE0y");
  EXPECT_EQ(out, "x\xC3\xA0y");
}

}  // namespace
}  // namespace taloq
