#include "lsp/diagnostics.h"

#include "driver/diagnostics.h"
#include "driver/run_observer.h"

namespace taloq::lsp {

Problem problem_from_printed(const PrintedLine& line) {
  Problem problem;
  problem.file = line.file;
  problem.line = line.line;
  std::string_view message = line.message;
  while (message.ends_with('\n')) message.remove_suffix(1);
  problem.message = message;
  if (line.severity == kPrintedAsItStands) {
    problem.severity = message.starts_with("Warning") ? 3 : 1;
  } else {
    problem.severity = line.severity == SEV_ERROR || line.severity == SEV_FATAL ? 1 : 2;
  }
  return problem;
}

Range line_range(const LineIndex* lines, int line, Encoding encoding) {
  Range range;
  std::size_t index = line > 0 ? static_cast<std::size_t>(line - 1) : 0;
  if (lines == nullptr) {
    range.start_line = range.end_line = index;
    return range;
  }
  if (index >= lines->line_count()) index = lines->line_count() - 1;
  const std::string_view text = lines->line(index);
  range.start_line = range.end_line = index;
  range.start_character = client_column(text, first_non_blank(text), encoding);
  range.end_character = client_column(text, text.size(), encoding);
  return range;
}

void write_range(JsonWriter& out, const Range& range) {
  auto position = [&out](std::size_t line, std::size_t character) {
    out.StartObject();
    out.Key("line");
    out.Uint64(line);
    out.Key("character");
    out.Uint64(character);
    out.EndObject();
  };
  out.StartObject();
  out.Key("start");
  position(range.start_line, range.start_character);
  out.Key("end");
  position(range.end_line, range.end_character);
  out.EndObject();
}

void write_diagnostic(JsonWriter& out, const Problem& problem, const LineIndex* lines,
                      Encoding encoding) {
  out.StartObject();
  out.Key("range");
  write_range(out, line_range(lines, problem.line, encoding));
  out.Key("severity");
  out.Int(problem.severity);
  if (!problem.code.empty()) {
    out.Key("code");
    write_text(out, problem.code);
  }
  out.Key("source");
  out.String(problem.code.empty() ? "taloqchk" : "taloqlint");
  out.Key("message");
  write_text(out, problem.message);
  out.EndObject();
}

}  // namespace taloq::lsp
