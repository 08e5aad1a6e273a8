#include "lex/char_input.h"

#include <algorithm>
#include <array>

namespace taloq {

int skip_line_comment(ParseContext& ctx) {
  int c;
  do {
    c = read_char(ctx);
  } while (c != '\n' && c != kEof);
  return ' ';
}

namespace {

// The five characters that came before the previous one; a window that has
// not yet received five characters matches nothing.
class MarkerWindow {
 public:
  void push(int c) {
    std::rotate(chars_.begin(), chars_.begin() + 1, chars_.end());
    chars_.back() = c;
  }
  bool holds_marker_word() const {
    constexpr std::array<int, 5> kWord = {'t', 'a', 'l', 'o', 'q'};
    return chars_ == kWord;
  }

 private:
  std::array<int, 5> chars_ = {kEof, kEof, kEof, kEof, kEof};
};

}  // namespace

int skip_block_comment(ParseContext& ctx) {
  int depth = 1;
  bool close_all = false;
  MarkerWindow window;
  int previous = read_char(ctx);
  int current = read_char(ctx);
  const bool marker = previous == '*';
  for (;;) {
    if (previous == '/' && current == '*') {
      ++depth;
    } else if (previous == '*' && current == '/') {
      if (marker) {
        if (window.holds_marker_word()) break;
      } else {
        --depth;
        if (close_all || depth == 0) break;
      }
    } else {
      if (current == kEof) break;
      close_all = previous == '*' && current == '*';
    }
    window.push(previous);
    previous = current;
    current = read_char(ctx);
  }
  return ' ';
}

int next_char_after_slash(ParseContext& ctx) {
  const int following = read_char(ctx);
  if (following == '/') return skip_line_comment(ctx);
  if (following == '*') return skip_block_comment(ctx);
  unread_char(ctx, following);
  return '/';
}

}  // namespace taloq
