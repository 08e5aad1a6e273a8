#include "backend_utils/indented_printer.h"

#include <ostream>
#include <string>

#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "backend_utils/print_switch.h"

namespace taloq {
namespace {

// Collects the characters of one call and hands them to the run's output.
class PrinterOutput {
 public:
  explicit PrinterOutput(RunContext& run) : run_(run) {}
  ~PrinterOutput() { flush(); }
  PrinterOutput(const PrinterOutput&) = delete;
  PrinterOutput& operator=(const PrinterOutput&) = delete;

  void put(char c) { pending_ += c; }
  void put_blanks(int count) { pending_.append(static_cast<std::size_t>(count), ' '); }
  void flush() {
    if (run_.output != nullptr && !pending_.empty()) {
      run_.output->write(pending_.data(), static_cast<std::streamsize>(pending_.size()));
    }
    pending_.clear();
  }

 private:
  RunContext& run_;
  std::string pending_;
};

// Writes one character and counts it; after a newline, the indentation of
// the current depth follows and the line's counters start again.
void put_plain(RunContext& run, PrinterOutput& out, char c) {
  out.put(c);
  ++run.column;
  if (c != '\n') return;
  out.put_blanks(kIndentWidth * run.indent_depth);
  run.column = 0;
  run.tab_count = 0;
}

void put_open_brace(RunContext& run, PrinterOutput& out) {
  out.put_blanks(kIndentWidth);
  ++run.indent_depth;
  put_plain(run, out, '{');
}

void put_close_brace(RunContext& run, PrinterOutput& out) {
  --run.indent_depth;
  if (run.indent_depth < 0) {
    out.flush();  // the message follows what was printed before the brace
    print_direct(run, "Problem with brace nesting depth encountered\n");
    ++run.errors;
    run.indent_depth = 0;
  }
  put_plain(run, out, '}');
}

// A tab writes at least one blank, then pads to the next tab column.
void put_tab(RunContext& run, PrinterOutput& out) {
  out.put(' ');
  ++run.column;
  ++run.tab_count;
  while (run.column < run.tab_count * kTabColumns) {
    out.put(' ');
    ++run.column;
  }
}

void put_char(RunContext& run, PrinterOutput& out, char c) {
  switch (c) {
    case '{': put_open_brace(run, out); break;
    case '}': put_close_brace(run, out); break;
    case '\t': put_tab(run, out); break;
    default: put_plain(run, out, c); break;
  }
}

}  // namespace

void vprint_indented(RunContext& run, const char* format, va_list args) {
  if (get_print_enable() == 0) return;
  const std::string text = vformat_text(format, args);
  PrinterOutput out(run);
  for (const char c : text) put_char(run, out, c);
}

void print_indented(RunContext& run, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vprint_indented(run, format, args);
  va_end(args);
}

}  // namespace taloq
