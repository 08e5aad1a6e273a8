#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "lex/char_stream.h"
#include "parse/parse_state.h"

namespace taloq {

struct RunContext;
struct ModuleRecord;
struct PlugRecord;

// Per-block state of version brackets and tag order.
struct BracketFrame {
  bool in_brackets = false;    // a "[" is open in this block
  bool brackets_seen = false;  // a "[" occurred earlier in this block
  bool tagged_seen = false;    // a tagged element has been completed here
  std::int32_t open_line = 0;  // where the open "[" stands
};

// The parser state of one module of one source file.
struct ParseContext {
  std::string path;  // the source path; the file part of every diagnostic
  std::int32_t line = 1;
  CharStream* stream = nullptr;  // shared by the modules of one file
  // Offset in the stream's text of the first character of the token read
  // last, so that an editor can tell which token stands under its cursor.
  std::size_t token_start = 0;
  RunContext* run = nullptr;
  ModuleRecord* module = nullptr;
  bool expect_header = true;
  std::int32_t state = PS_STATEMENT;
  std::int32_t errors = 0;
  std::int32_t depth = 0;
  std::int32_t plug_depth = 0;
  PlugRecord* plug = nullptr;
  BracketFrame* brackets = nullptr;
  bool last_module = true;
};

}  // namespace taloq
