#include "source/source_file.h"

#include "driver/diagnostics.h"
#include "driver/front_end_notes.h"
#include "driver/run_context.h"
#include "lex/char_class.h"
#include "parse/block_parser.h"
#include "source/config_file.h"
#include "source/parse_context.h"
#include "source/text_file.h"

namespace taloq {

namespace {

// The end of the line that starts at `line_start` (past its '\n'), reading
// on as far as needed; the text's end for its last line.
std::size_t line_end_from(CharStream& stream, std::size_t line_start) {
  std::string_view text = stream.text_through(line_start + 1);
  std::size_t searched = line_start;
  for (;;) {
    const std::size_t found = text.find('\n', searched);
    if (found != std::string_view::npos) return found + 1;
    if (!stream.may_grow()) return text.size();
    searched = text.size();
    text = stream.text_through(text.size() + 1);
  }
}

}  // namespace

int skip_to_start_marker(CharStream& stream) {
  std::size_t line_start = 0;
  int line_number = 1;
  while (line_start < stream.text_through(line_start + 1).size()) {
    const std::size_t line_end = line_end_from(stream, line_start);
    std::string_view line = stream.text_through(line_end).substr(line_start, line_end - line_start);
    while (!line.empty() && is_space(static_cast<unsigned char>(line.front()))) {
      line.remove_prefix(1);
    }
    // The comparison stays within the line, so that a line of white space
    // is not taken for the marker line that follows it.
    if (line.starts_with(kStartMarker)) {
      stream.seek(line_end);
      return line_number + 1;
    }
    line_start = line_end;
    ++line_number;
  }
  stream.seek(0);
  return 1;
}

namespace {

// Parses the next module of the stream, whose first line is `first_line`
// of the file; returns its context's outcome.
ParseContext parse_module(RunContext& run, const std::string& path, CharStream& stream,
                          int first_line) {
  ModuleRecord& module = run.module_store.emplace_back();
  module.path = path;
  ParseContext ctx;
  ctx.path = path;
  ctx.line = first_line;
  ctx.stream = &stream;
  ctx.run = &run;
  ctx.module = &module;
  module.elements = parse_block(ctx);
  if (module.elements != nullptr) {
    run.modules.push_back(&module);
  } else {
    // A module without top-level elements takes no part in the run. Its
    // record, the newest in the store, goes at once, so that a file of many
    // empty modules does not hold a record for each; nothing reachable
    // points at it.
    note_dropped_module(run, module);
    run.module_store.pop_back();
  }
  return ctx;
}

int load_modules(RunContext& run, const std::string& path, CharStream& stream) {
  // A module goes on counting where the one before it stopped, on the line
  // of its "endmodule" ";": editors jump to these numbers.
  int line = skip_to_start_marker(stream);
  int errors = 0;
  bool more = true;
  while (more) {
    const ParseContext ctx = parse_module(run, path, stream, line);
    errors = ctx.errors;
    line = ctx.line;
    more = !ctx.last_module;
  }
  return errors;
}

// Loads the modules of one stream and then the source's configuration.
int load_source(RunContext& run, const std::string& path, CharStream& stream) {
  const std::size_t kept = run.modules.size();
  const int errors = load_modules(run, path, stream);
  note_source(run, path, run.modules.size() - kept);
  apply_config_file(run, path);
  return errors;
}

}  // namespace

int load_source_text(RunContext& run, const std::string& path, std::string_view text) {
  CharStream stream(text);
  return load_source(run, path, stream);
}

int load_source_file(RunContext& run, const std::string& path) {
  if (run.open_source) {
    if (const std::string* open = run.open_source(path)) return load_source_text(run, path, *open);
  }
  std::optional<FileText> file = open_file_text(path);
  if (!file) {
    report(run, SEV_ERROR, "Unable to open file: %s", path.c_str());
    return 1;
  }
  // The file is read as the parse goes, and its released text goes back.
  CharStream stream(*file);
  const int errors = load_source(run, path, stream);
  if (file->failed()) {
    // What was read is checked; the rest could not be, which fails the run.
    report(run, SEV_ERROR, "Unable to open file: %s", path.c_str());
    return 1;
  }
  return errors;
}

}  // namespace taloq
