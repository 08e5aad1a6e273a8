#pragma once

#include <cstdarg>
#include <exception>
#include <string>
#include <string_view>

namespace taloq {

struct RunContext;
struct ParseContext;

enum Severity : int {
  SEV_FATAL = 0,
  SEV_ERROR = 1,
  SEV_WARNING = 2,
};

// Carries a fatal stop from wherever it happens to the entry point, which
// ends the program with exit status 1. Nothing else is printed after it.
struct FatalStop : std::exception {
  const char* what() const noexcept override { return "fatal stop"; }
};

// printf-style formatting into a string.
[[gnu::format(printf, 1, 2)]] std::string format_text(const char* format, ...);
std::string vformat_text(const char* format, va_list args);

// The core of every diagnostic: "<tag>: <message>\n" on the run's console,
// counted as an error (SEV_ERROR) or a warning (any other code). A fatal
// severity then throws FatalStop.
void vreport(RunContext& run, int severity, const char* format, va_list args);
[[gnu::format(printf, 3, 4)]] void report(RunContext& run, int severity, const char* format, ...);

// As vreport, prefixed by "<file>(<line>) : " when the file name is not
// empty; the "(<line>)" only when line > 0.
void vreport_at(RunContext& run, std::string_view file_name, int line, int severity,
                const char* format, va_list args);
[[gnu::format(printf, 5, 6)]] void report_at(RunContext& run, std::string_view file_name, int line,
                                             int severity, const char* format, ...);

// The fatal "Unable to allocate memory"; never returns.
[[noreturn]] void report_out_of_memory(RunContext& run);

// The diagnostic of the lexer and parser: at the context's path and current
// line; an error also counts in the context's own error counter.
[[gnu::format(printf, 3, 4)]] void report_parse(ParseContext& ctx, int severity, const char* format,
                                                ...);

// A line printed as it stands on the console, outside the diagnostics: no
// tag, no position, not counted.
[[gnu::format(printf, 2, 3)]] void print_direct(RunContext& run, const char* format, ...);

}  // namespace taloq
