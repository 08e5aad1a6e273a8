#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taloq::lsp {

// How the client counts the characters of a line: UTF-16 code units (the
// protocol's default) or bytes of UTF-8 (when the client offers it).
enum class Encoding { kUtf16, kUtf8 };

// The lines of a text, found once, for turning byte offsets into the
// client's line and character positions and back. A line ends at '\n'; a
// '\r' before it is not part of the line, as the checker does not see it.
class LineIndex {
 public:
  explicit LineIndex(std::string_view text);

  // A text ending in '\n' has an empty last line after it, where the
  // checker reports an early end of file.
  std::size_t line_count() const { return starts_.size(); }
  // Line `index` (from 0) without its line end; empty past the last line.
  std::string_view line(std::size_t index) const;
  std::size_t line_start(std::size_t index) const { return starts_[index]; }
  // The line (from 0) that holds the byte at `offset`.
  std::size_t line_of(std::size_t offset) const;

 private:
  std::string_view text_;
  std::vector<std::size_t> starts_;
};

// The client's character column of the byte `byte_column` of `line`. Text
// that is not valid UTF-8 counts one character per byte, as it is shown.
std::size_t client_column(std::string_view line, std::size_t byte_column, Encoding encoding);
// The byte of `line` at the client's character column: the line's length
// for a column beyond it; the next character for a column inside one.
std::size_t byte_column(std::string_view line, std::size_t column, Encoding encoding);

// Appends 8-bit text as valid UTF-8: UTF-8 sequences stay as they are and
// any other byte stands for the character of the same number (Latin-1), so
// a message holding part of a character still makes valid JSON.
void append_utf8(std::string& out, std::string_view text);

// The byte offset of the first character of `line` that is not a blank or
// a tab (the line's length when there is none).
std::size_t first_non_blank(std::string_view line);

// file:// URIs and absolute paths. Non-file URIs give none.
std::optional<std::string> uri_to_path(std::string_view uri);
std::string path_to_uri(std::string_view absolute_path);

}  // namespace taloq::lsp
