#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taloq {

// The whole content of a regular file, or none when it cannot be opened or
// read (a directory included).
std::optional<std::string> read_text_file(const std::string& path);

// The lines of a text, each without its '\n' (and without a '\r' before
// it). A final line without '\n' counts; an empty text has no lines.
std::vector<std::string_view> split_lines(std::string_view text);

// A text up to its first NUL byte: lines are NUL-terminated texts once read.
std::string_view before_nul(std::string_view text);

}  // namespace taloq
