#pragma once

// Helpers shared by the unit tests: a run whose console is captured, a
// definition held in memory, and a scratch folder.

#include <algorithm>
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

// A text held in memory handed to a stream `piece` bytes at a time, as a
// file read in stretches is: readers must come to the same at every
// boundary between two reads.
class PiecewiseText final : public StreamSource {
 public:
  PiecewiseText(std::string_view text, std::size_t piece) : text_(text), piece_(piece) {}
  std::string_view read_more() override {
    shown_ = std::min(text_.size(), shown_ + piece_);
    return text_.substr(0, shown_);
  }
  void release_before(std::size_t) override {}

 private:
  std::string_view text_;
  std::size_t piece_;
  std::size_t shown_ = 0;
};

// A parse context over text held in memory, for the lexer and the parser;
// with a `piece` size, the stream reads the text in pieces of that size.
struct TextSource {
  explicit TextSource(std::string_view source_text, std::string path = "t.tlq",
                      std::size_t piece = 0);
  CapturedRun captured;
  std::string text;
  PiecewiseText pieces;
  CharStream stream;
  ModuleRecord* module = nullptr;
  ParseContext ctx;
};

// Loads `text` as the source file `path` (its configuration file, if any, is
// read from disk) and returns the console output.
std::string load_text(CapturedRun& captured, std::string_view text, std::string path = "t.tlq");

// The element of a list at `index` (0 is the head), or null.
Element* nth(Element* list, int index);

// A fresh element in a model that lasts as long as the test program, for
// tests of functions that read one element.
Element& scratch_element();

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;
  // The path of `name` inside the directory.
  std::string path(std::string_view name) const;
  // Writes `content` to `name` inside the directory; returns its path.
  std::string write(std::string_view name, std::string_view content) const;

 private:
  std::string dir_;
};

}  // namespace taloq::testing
