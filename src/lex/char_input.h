#pragma once

#include "lex/char_stream.h"
#include "source/parse_context.h"

namespace taloq {

// The next character of the module's source, or kEof; a '\n' advances the
// context's line.
inline int read_char(ParseContext& ctx) {
  const int c = ctx.stream->get();
  if (c == '\n') ++ctx.line;
  return c;
}

// Makes `c` the next character read (nothing for kEof); pushing back a '\n'
// moves the line back.
inline void unread_char(ParseContext& ctx, int c) {
  if (c == kEof) return;
  ctx.stream->unget(c);
  if (c == '\n') --ctx.line;
}

// After "//": skips to and including the next '\n' (or to end of file).
// Returns ' ', the stand-in for the whole comment.
int skip_line_comment(ParseContext& ctx);

// After "/*": skips to the end of a nesting block comment, or of a marker
// comment (one whose text begins with '*', which ends only at "taloq*/"),
// or to end of file. Returns ' '.
int skip_block_comment(ParseContext& ctx);

// After '/': the next character with comments removed.
int next_char_after_slash(ParseContext& ctx);

// The next character with comments removed: a whole comment reads as ' '.
inline int next_char(ParseContext& ctx) {
  const int c = read_char(ctx);
  return c == '/' ? next_char_after_slash(ctx) : c;
}

}  // namespace taloq
