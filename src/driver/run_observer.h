#pragma once

#include <string_view>

namespace taloq {

struct RunContext;

// Severity of a line that the run printed as it stands, outside the
// diagnostics (no tag, no position, counted or not as its caller decides).
inline constexpr int kPrintedAsItStands = -1;

// One line (or, for a message that ends in its own newline, two) that the
// run printed for the user.
struct PrintedLine {
  std::string_view file;  // empty when the line names no file
  int line = 0;           // 0 when it names no line
  int severity = kPrintedAsItStands;
  std::string_view message;  // as formatted, before the tag and position
  std::string_view printed;  // exactly what went to the console
};

// Watches a run from outside: a program that reports more than the checker
// (taloqlint) sees every line the run prints, the parsed modules before the
// analysis changes them, and the analysed model before it is released. The
// checker's own run has no observer and behaves as if there were none.
class RunObserver {
 public:
  virtual ~RunObserver() = default;
  virtual void printed(const PrintedLine& line) { static_cast<void>(line); }
  // After every source is loaded and configured, before the analysis.
  virtual void loaded(RunContext& run) { static_cast<void>(run); }
  // After the analysis, or where it was skipped; `clean` when it ran to its
  // end without an error. Before the back end, the count line and the
  // release of the model.
  virtual void analysed(RunContext& run, bool clean) {
    static_cast<void>(run);
    static_cast<void>(clean);
  }
};

}  // namespace taloq
