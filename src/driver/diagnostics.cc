#include "driver/diagnostics.h"

#include <cstdio>
#include <ostream>

#include "driver/run_context.h"
#include "driver/run_observer.h"
#include "source/parse_context.h"

namespace taloq {

std::string vformat_text(const char* format, va_list args) {
  va_list measure;
  va_copy(measure, args);
  const int length = std::vsnprintf(nullptr, 0, format, measure);
  va_end(measure);
  if (length <= 0) return {};
  std::string text(static_cast<std::size_t>(length), '\0');
  std::vsnprintf(text.data(), text.size() + 1, format, args);
  return text;
}

std::string format_text(const char* format, ...) {
  va_list args;
  va_start(args, format);
  std::string text = vformat_text(format, args);
  va_end(args);
  return text;
}

namespace {

const char* severity_tag(int severity) {
  switch (severity) {
    case SEV_FATAL: return "FATAL error";
    case SEV_ERROR: return "error";
    default: return "warning";
  }
}

// Prints one diagnostic, shows it to the run's observer, counts it, and
// ends the run on a fatal one.
void emit(RunContext& run, std::string_view file_name, int line, int severity, const char* format,
          va_list args) {
  const std::string message = vformat_text(format, args);
  std::string printed;
  if (!file_name.empty()) {
    printed.append(file_name);
    if (line > 0) printed.append("(").append(std::to_string(line)).append(")");
    printed.append(" : ");
  }
  printed.append(severity_tag(severity)).append(": ").append(message).append("\n");
  std::ostream& out = *run.console;
  out << printed;
  if (run.observer != nullptr) {
    run.observer->printed({file_name, file_name.empty() ? 0 : line, severity, message, printed});
  }
  if (severity == SEV_ERROR) {
    ++run.errors;
  } else {
    ++run.warnings;
  }
  if (severity == SEV_FATAL) {
    out.flush();
    throw FatalStop{};
  }
}

}  // namespace

void vreport(RunContext& run, int severity, const char* format, va_list args) {
  emit(run, {}, 0, severity, format, args);
}

void report(RunContext& run, int severity, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vreport(run, severity, format, args);
  va_end(args);
}

void vreport_at(RunContext& run, std::string_view file_name, int line, int severity,
                const char* format, va_list args) {
  emit(run, file_name, line, severity, format, args);
}

void report_at(RunContext& run, std::string_view file_name, int line, int severity,
               const char* format, ...) {
  va_list args;
  va_start(args, format);
  vreport_at(run, file_name, line, severity, format, args);
  va_end(args);
}

void report_out_of_memory(RunContext& run) {
  report(run, SEV_FATAL, "Unable to allocate memory");
  throw FatalStop{};  // not reached: a fatal report always throws
}

void report_parse(ParseContext& ctx, int severity, const char* format, ...) {
  va_list args;
  va_start(args, format);
  vreport_at(*ctx.run, ctx.path, ctx.line, severity, format, args);
  va_end(args);
  if (severity == SEV_ERROR) ++ctx.errors;
}

void print_direct(RunContext& run, const char* format, ...) {
  va_list args;
  va_start(args, format);
  const std::string text = vformat_text(format, args);
  va_end(args);
  *run.console << text;
  if (run.observer != nullptr) run.observer->printed({{}, 0, kPrintedAsItStands, text, text});
}

}  // namespace taloq
