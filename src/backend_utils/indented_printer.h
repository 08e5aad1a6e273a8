#pragma once

#include <cstdarg>

namespace taloq {

struct RunContext;

// Width of one indentation step, written before a '{' and once per open
// brace after every newline.
inline constexpr int kIndentWidth = 4;
// A tab pads the output line to the next multiple of this column.
inline constexpr int kTabColumns = 20;

// The indenting printer of back ends: formats printf-style and writes the
// text to `run.output`, indenting by brace depth and expanding tabs to
// columns (the printer state lives in the run: indent_depth, column,
// tab_count). A '}' that would close more braces than are open prints
// "Problem with brace nesting depth encountered\n" on the run's console and
// counts one error. Does nothing while the print switch is 0. When
// `run.output` is null the text is dropped, but the state still follows it.
[[gnu::format(printf, 2, 3)]] void print_indented(RunContext& run, const char* format, ...);
void vprint_indented(RunContext& run, const char* format, va_list args);

}  // namespace taloq
