#include "lsp/text_lines.h"

#include <algorithm>
#include <cstring>

#include "lint/output_formats.h"

namespace taloq::lsp {
namespace {

// The length of the valid UTF-8 sequence that starts at text[i], or 0 when
// none does (a stray continuation byte, an overlong or cut sequence).
std::size_t sequence_length(std::string_view text, std::size_t i) {
  const auto lead = static_cast<unsigned char>(text[i]);
  if (lead < 0x80) return 1;
  std::size_t length = 0;
  unsigned minimum = 0;
  unsigned value = 0;
  if ((lead & 0xE0) == 0xC0) {
    length = 2;
    minimum = 0x80;
    value = lead & 0x1Fu;
  } else if ((lead & 0xF0) == 0xE0) {
    length = 3;
    minimum = 0x800;
    value = lead & 0x0Fu;
  } else if ((lead & 0xF8) == 0xF0) {
    length = 4;
    minimum = 0x10000;
    value = lead & 0x07u;
  } else {
    return 0;
  }
  if (text.size() - i < length) return 0;
  for (std::size_t k = 1; k < length; ++k) {
    const auto next = static_cast<unsigned char>(text[i + k]);
    if ((next & 0xC0) != 0x80) return 0;
    value = value << 6 | (next & 0x3Fu);
  }
  if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) return 0;
  return length;
}

// Walks `line` character by character: `step` gets each character's byte
// length and its width in the encoding, and returns false to stop.
template <typename Step>
void walk_characters(std::string_view line, Encoding encoding, Step step) {
  for (std::size_t i = 0; i < line.size();) {
    const std::size_t length = std::max<std::size_t>(sequence_length(line, i), 1);
    const std::size_t width = encoding == Encoding::kUtf8 ? length : length == 4 ? 2 : 1;
    if (!step(i, length, width)) return;
    i += length;
  }
}

int hex_value(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

LineIndex::LineIndex(std::string_view text) : text_(text) {
  starts_.push_back(0);
  const char* const begin = text.data();
  const char* at = begin;
  const char* const end = begin + text.size();
  while (at != end) {
    const void* found = std::memchr(at, '\n', static_cast<std::size_t>(end - at));
    if (found == nullptr) break;
    at = static_cast<const char*>(found) + 1;
    starts_.push_back(static_cast<std::size_t>(at - begin));
  }
}

std::string_view LineIndex::line(std::size_t index) const {
  if (index >= starts_.size()) return {};
  const std::size_t start = starts_[index];
  std::size_t end = index + 1 < starts_.size() ? starts_[index + 1] - 1 : text_.size();
  if (end > start && text_[end - 1] == '\r') --end;
  return text_.substr(start, end - start);
}

std::size_t LineIndex::line_of(std::size_t offset) const {
  const auto after = std::upper_bound(starts_.begin(), starts_.end(), offset);
  return static_cast<std::size_t>(after - starts_.begin()) - 1;
}

std::size_t client_column(std::string_view line, std::size_t byte_column, Encoding encoding) {
  std::size_t column = 0;
  walk_characters(line, encoding, [&](std::size_t at, std::size_t, std::size_t width) {
    if (at >= byte_column) return false;
    column += width;
    return true;
  });
  return column;
}

std::size_t byte_column(std::string_view line, std::size_t column, Encoding encoding) {
  std::size_t counted = 0;
  std::size_t result = line.size();
  walk_characters(line, encoding, [&](std::size_t at, std::size_t, std::size_t width) {
    if (counted >= column) {
      result = at;
      return false;
    }
    counted += width;
    return true;
  });
  return result;
}

void append_utf8(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    const std::size_t length = sequence_length(text, i);
    if (length > 0) {
      out.append(text.substr(i, length));
      i += length;
      continue;
    }
    const auto byte = static_cast<unsigned char>(text[i++]);
    out += static_cast<char>(0xC0 | byte >> 6);
    out += static_cast<char>(0x80 | (byte & 0x3F));
  }
}

std::size_t first_non_blank(std::string_view line) {
  const std::size_t at = line.find_first_not_of(" \t");
  return at == std::string_view::npos ? line.size() : at;
}

std::optional<std::string> uri_to_path(std::string_view uri) {
  constexpr std::string_view kScheme = "file://";
  if (uri.size() < kScheme.size()) return std::nullopt;
  for (std::size_t i = 0; i < kScheme.size(); ++i) {
    const char c = uri[i];
    if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != kScheme[i]) {
      return std::nullopt;
    }
  }
  std::string_view rest = uri.substr(kScheme.size());
  // An authority other than the local machine names a file elsewhere.
  const std::size_t slash = rest.find('/');
  if (slash == std::string_view::npos) return std::nullopt;
  const std::string_view authority = rest.substr(0, slash);
  if (!authority.empty() && authority != "localhost") return std::nullopt;
  rest.remove_prefix(slash);
  std::string path;
  for (std::size_t i = 0; i < rest.size(); ++i) {
    if (rest[i] == '?' || rest[i] == '#') break;
    if (rest[i] == '%' && i + 2 < rest.size() && hex_value(rest[i + 1]) >= 0 &&
        hex_value(rest[i + 2]) >= 0) {
      path += static_cast<char>(hex_value(rest[i + 1]) * 16 + hex_value(rest[i + 2]));
      i += 2;
    } else {
      path += rest[i];
    }
  }
  return path;
}

std::string path_to_uri(std::string_view absolute_path) {
  // The linter's SARIF locations are file URIs too: one encoding serves both.
  return lint::artifact_uri(absolute_path);
}

}  // namespace taloq::lsp
