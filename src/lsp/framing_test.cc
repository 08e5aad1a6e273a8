#include "lsp/framing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace taloq::lsp {
namespace {

struct FramingCase {
  const char* name;
  std::vector<std::string> chunks;
  std::vector<std::string> bodies;
  std::size_t skipped;
};

TEST(FrameReader, CutsBodiesAndSkipsBadHeaders) {
  const std::string two = "Content-Length: 2\r\n\r\n{}Content-Length: 7\r\n\r\n[1,2,3]";
  std::vector<std::string> bytes;
  for (const char c : two) bytes.emplace_back(1, c);
  const std::vector<FramingCase> cases = {
      {"one frame", {"Content-Length: 2\r\n\r\n{}"}, {"{}"}, 0},
      {"fed a byte at a time", bytes, {"{}", "[1,2,3]"}, 0},
      {"other fields, any case",
       {"content-length: 2\r\nContent-Type: application/vscode-jsonrpc; charset=utf-8\r\n\r\n{}"},
       {"{}"},
       0},
      {"body not complete yet", {"Content-Length: 5\r\n\r\n12"}, {}, 0},
      {"length not a number", {"Content-Length: x\r\n\r\n{}", "Content-Length: 1\r\n\r\n1"}, {"1"},
       1},
      {"no length", {"Content-Type: a\r\n\r\n{\"id\":1}Content-Length: 1\r\n\r\n2"}, {"2"}, 1},
      {"a line that is no field", {"garbage\r\n\r\nContent-Length: 1\r\n\r\n3"}, {"3"}, 1},
      {"a body too large to wait for", {"Content-Length: 999999999999\r\n\r\nContent-Length: 1\r\n\r\n4"},
       {"4"}, 1},
      {"a body of the largest size is waited for", {"Content-Length: 268435456\r\n\r\n12"}, {}, 0},
      {"one byte larger is refused",
       {"Content-Length: 268435457\r\n\r\nContent-Length: 1\r\n\r\n7"}, {"7"}, 1},
      {"a header that never ends", {std::string(5000, 'x'), "Content-Length: 1\r\n\r\n5"}, {"5"}, 1},
      {"the next field split over two reads",
       {"Content-Length: q\r\n\r\n junk Content-Le", "ngth: 1\r\n\r\n6"}, {"6"}, 1},
  };
  for (const FramingCase& c : cases) {
    FrameReader reader;
    std::vector<std::string> bodies;
    for (const std::string& chunk : c.chunks) {
      reader.feed(chunk);
      while (std::optional<std::string> body = reader.next()) bodies.push_back(*body);
    }
    EXPECT_EQ(bodies, c.bodies) << c.name;
    EXPECT_EQ(reader.skipped(), c.skipped) << c.name;
  }
}

TEST(Frame, GivesTheBodysLengthInBytes) {
  EXPECT_EQ(frame("{\"a\":\"\xc3\xa9\"}"), "Content-Length: 10\r\n\r\n{\"a\":\"\xc3\xa9\"}");
}

}  // namespace
}  // namespace taloq::lsp
