#pragma once

#include <cstddef>

#include "lsp/check_run.h"
#include "lsp/json.h"
#include "lsp/text_lines.h"

namespace taloq {
struct PrintedLine;
}

namespace taloq::lsp {

// A line the run printed as a problem: diagnostics keep their severity (a
// fatal one is an error); lines printed as they stand are errors, but for
// the renaming notice ("Warning ..."), which fails nothing and becomes
// information. The newline some messages end in is dropped.
Problem problem_from_printed(const PrintedLine& line);

struct Range {
  std::size_t start_line = 0;
  std::size_t start_character = 0;
  std::size_t end_line = 0;
  std::size_t end_character = 0;
};

// Where a problem of `line` (from 1; 0 for none, which goes on the first
// line) stands: the line's text from its first non-blank character to its
// end. A line past the end of the text is its last line; without a text,
// the start of the line.
Range line_range(const LineIndex* lines, int line, Encoding encoding);

void write_range(JsonWriter& out, const Range& range);

// One Diagnostic object of the protocol.
void write_diagnostic(JsonWriter& out, const Problem& problem, const LineIndex* lines,
                      Encoding encoding);

}  // namespace taloq::lsp
