#pragma once

// Helpers shared by the unit tests: a run whose console is captured, and
// parsing of a definition held in memory.

#include <sstream>
#include <string>
#include <string_view>

#include "driver/run_context.h"
#include "lex/char_stream.h"
#include "source/parse_context.h"

namespace taloq::testing {

// A run context whose console is a string stream.
struct CapturedRun {
  CapturedRun() { run.console = &console; }
  std::string text() const { return console.str(); }
  RunContext run;
  std::ostringstream console;
};

// A parse context over text held in memory, for the lexer and the parser.
struct TextSource {
  explicit TextSource(std::string_view source_text, std::string path = "t.tlq");
  CapturedRun captured;
  std::string text;
  CharStream stream;
  ModuleRecord* module = nullptr;
  ParseContext ctx;
};

// Loads `text` as the source file `path` (its configuration file, if any, is
// read from disk) and returns the console output.
std::string load_text(CapturedRun& captured, std::string_view text, std::string path = "t.tlq");

// The element of a list at `index` (0 is the head), or null.
Element* nth(Element* list, int index);

}  // namespace taloq::testing
