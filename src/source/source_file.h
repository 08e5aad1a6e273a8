#pragma once

#include <string>
#include <string_view>

#include "lex/char_stream.h"

namespace taloq {

struct RunContext;

// The start marker: a definition begins on the line after the first line
// that starts (after white space) with it.
inline constexpr std::string_view kStartMarker = "taloq*/";

// Loads one source file: every module it holds (split at "endmodule" ";"),
// then its configuration file. Modules without elements are discarded.
// Returns 0 when the last module of the file parsed without error; a file
// that cannot be read is reported and gives 1, as does one whose reading
// fails part way (what was read before is checked). The text comes from the
// run's open_source when that has one for the path, else from the file,
// read as the parse goes.
int load_source_file(RunContext& run, const std::string& path);

// As load_source_file, for a source held in memory under the name `path`.
int load_source_text(RunContext& run, const std::string& path, std::string_view text);

// Positions a fresh stream after the start-marker line, or at the start of
// the text when there is none. Returns the file's number of the line the
// definition starts on (the line after the marker line, else 1), so that
// every line number given later is the file's own.
int skip_to_start_marker(CharStream& stream);

}  // namespace taloq
