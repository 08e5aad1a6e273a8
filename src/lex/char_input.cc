#include "lex/char_input.h"

#include <algorithm>
#include <array>

#include "driver/diagnostics.h"

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

// A comment still open at end of file has swallowed everything after its
// "/*"; a definition that opens one by habit ("/** doc */") would otherwise
// lose the rest of the file without a word.
void warn_comment_open_at_end(ParseContext& ctx, int start_line, bool marker) {
  report_at(*ctx.run, ctx.path, start_line, SEV_WARNING, "%s",
            marker ? "Comment not closed at end of file (a comment beginning /** ends only at taloq*/)"
                   : "Comment not closed at end of file");
}

}  // namespace

int skip_block_comment(ParseContext& ctx) {
  const int start_line = ctx.line;
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
      if (current == kEof) {
        warn_comment_open_at_end(ctx, start_line, marker);
        break;
      }
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
