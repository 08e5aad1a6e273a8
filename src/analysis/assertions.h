#pragma once

namespace taloq {

// Reports a broken internal invariant of the analysis passes and ends the
// program: "Assertion failed: <expression>, file <file>, line <line>\n" on
// standard error, then abort. The file and line are the fixed places the
// invariant is known by, so they stay stable when the code around them moves.
[[noreturn]] void invariant_failed(const char* expression, const char* file, int line);

// The source name the passes of this directory report their invariants under.
inline constexpr const char* kPostParseFile = "ktfpostparse";

// Checks an invariant of the analysis passes; see invariant_failed.
inline void expect_invariant(bool holds, const char* expression, int line) {
  if (!holds) invariant_failed(expression, kPostParseFile, line);
}

}  // namespace taloq
