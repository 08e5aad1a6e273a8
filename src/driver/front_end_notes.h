#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "source/module_record.h"

namespace taloq {

struct ParseContext;
struct RunContext;
struct ConfigState;

// A place in a source or configuration file and the text read there.
struct NotedText {
  std::string file;
  std::int32_t line = 0;
  std::string text;
};

// A configuration line that is not a comment, with its words and the module
// its item and prefix lines apply to (null when the source gave none).
struct NotedConfigLine {
  std::string file;
  std::int32_t line = 0;
  std::vector<std::string> words;
  const ModuleRecord* selected = nullptr;
};

// What the front end accepted without a word although it is often not what
// was meant. The checker never reads these; the linter explains them.
struct FrontEndNotes {
  // Off in a run whose program never reads them (the checker and the back
  // ends it runs): a large definition would keep a note per bound.
  bool wanted = true;
  // Number texts that read as 4294967295, the largest bound: written so, or
  // larger and cut down to it.
  std::vector<NotedText> numbers_at_maximum;
  // A "[" still open when the body it stands in ended; the line of the "[".
  std::vector<NotedText> open_brackets;
  std::vector<NotedConfigLine> config_lines;
  // Modules the run dropped because no element of their own was parsed,
  // kept when they had plugs, imports or extends that are therefore lost.
  // Their element pointers are cleared: only names and lines are read.
  std::vector<ModuleRecord> dropped_modules;
  // Every source read, in load order, with the number of modules it gave.
  struct Source {
    std::string path;
    std::size_t modules = 0;
  };
  std::vector<Source> sources;
};

void note_number_at_maximum(ParseContext& ctx, std::string_view text);
void note_open_bracket(ParseContext& ctx, std::int32_t bracket_line);
void note_config_line(const ConfigState& state, const std::vector<std::string_view>& words);
void note_dropped_module(RunContext& run, const ModuleRecord& module);
void note_source(RunContext& run, const std::string& path, std::size_t modules);

}  // namespace taloq
