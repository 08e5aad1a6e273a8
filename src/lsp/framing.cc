#include "lsp/framing.h"

#include <algorithm>
#include <cctype>

namespace taloq::lsp {
namespace {

constexpr std::string_view kHeaderEnd = "\r\n\r\n";
constexpr std::string_view kLengthField = "content-length";
// A header block longer than this is not one.
constexpr std::size_t kMaxHeader = 4096;

char lower(char c) {
  return static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
}

bool equals_ignoring_case(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                            [](char x, char y) { return lower(x) == lower(y); });
}

std::string_view trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return text;
}

// The body length a header block gives, or none when it gives none that
// can be trusted: every line must be a field, and Content-Length a number.
std::optional<std::size_t> content_length(std::string_view header) {
  std::optional<std::size_t> length;
  while (!header.empty()) {
    const std::size_t end = header.find("\r\n");
    const std::string_view line = header.substr(0, end);
    header = end == std::string_view::npos ? std::string_view() : header.substr(end + 2);
    const std::size_t colon = line.find(':');
    if (colon == std::string_view::npos || colon == 0) return std::nullopt;
    if (!equals_ignoring_case(trim(line.substr(0, colon)), kLengthField)) continue;
    const std::string_view value = trim(line.substr(colon + 1));
    if (value.empty() || value.size() > 12) return std::nullopt;
    std::size_t number = 0;
    for (const char c : value) {
      if (c < '0' || c > '9') return std::nullopt;
      number = number * 10 + static_cast<std::size_t>(c - '0');
    }
    if (number > FrameReader::kMaxBody) return std::nullopt;
    length = number;
  }
  return length;
}

// Where the next "Content-Length" begins, compared without regard to case.
std::size_t find_length_field(std::string_view text) {
  const auto found = std::search(text.begin(), text.end(), kLengthField.begin(), kLengthField.end(),
                                 [](char x, char y) { return lower(x) == y; });
  return found == text.end() ? std::string_view::npos
                             : static_cast<std::size_t>(found - text.begin());
}

}  // namespace

void FrameReader::feed(std::string_view bytes) {
  buffer_.append(bytes);
}

std::optional<std::string> FrameReader::next() {
  for (;;) {
    std::string_view rest = std::string_view(buffer_).substr(start_);
    if (resyncing_) {
      const std::size_t found = find_length_field(rest);
      if (found == std::string_view::npos) {
        // Keep what could be the beginning of the field name.
        const std::size_t keep = std::min(rest.size(), kLengthField.size() - 1);
        start_ = buffer_.size() - keep;
        drop_consumed();
        return std::nullopt;
      }
      start_ += found;
      resyncing_ = false;
      rest = std::string_view(buffer_).substr(start_);
    }
    const std::size_t header_end = rest.find(kHeaderEnd);
    if (header_end == std::string_view::npos) {
      if (rest.size() > kMaxHeader) {
        ++skipped_;
        ++start_;  // past the header's first byte, so it is not found again
        resyncing_ = true;
        continue;
      }
      drop_consumed();
      return std::nullopt;
    }
    const std::optional<std::size_t> length = content_length(rest.substr(0, header_end));
    const std::size_t body_start = header_end + kHeaderEnd.size();
    if (!length) {
      ++skipped_;
      start_ += body_start;
      resyncing_ = true;
      continue;
    }
    if (rest.size() - body_start < *length) {
      drop_consumed();
      return std::nullopt;
    }
    std::string body(rest.substr(body_start, *length));
    start_ += body_start + *length;
    drop_consumed();
    return body;
  }
}

void FrameReader::drop_consumed() {
  // Erasing only once half of the buffer is consumed keeps the cost of a
  // long run of small frames linear.
  if (start_ > 0 && start_ * 2 >= buffer_.size()) {
    buffer_.erase(0, start_);
    start_ = 0;
  }
}

std::string frame(std::string_view body) {
  std::string framed = "Content-Length: " + std::to_string(body.size()) + "\r\n\r\n";
  framed.append(body);
  return framed;
}

}  // namespace taloq::lsp
