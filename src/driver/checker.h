#pragma once

#include <functional>
#include <iosfwd>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace taloq {

struct RunContext;

// A back end: called after a clean analysis with the run and the arguments
// that the source list did not consume.
using BackEnd = std::function<void(RunContext& run, std::span<const std::string> args)>;

// What distinguishes one program built on the run sequence from another.
struct Program {
  bool print_banner = true;
  BackEnd back_end;
  // Where the run's console lines go; standard output when null.
  std::ostream* console = nullptr;
};

// A line of a project file as the run reads it: up to a NUL, trailing white
// space removed (never the first character). None for a line that names no
// source (empty, or beginning with white space, '-' or '#').
std::optional<std::string> project_line_path(std::string_view raw_line);

// The checker's back-end hook: does nothing.
void run_back_end(RunContext& run, std::span<const std::string> args);

// The help text, with the build date and time.
void print_help(RunContext& run);

// The run sequence after the flags: banner, loading (source list or project
// file), analysis, back end, count line, release. `args` holds at least one
// argument.
void run_checker(RunContext& run, std::span<const std::string> args, const Program& program);

// The whole program on the arguments after the program name: flags, help,
// run sequence. Returns the exit status: 0 when the run ended with no
// error (or for the help), 1 otherwise, fatal stops included.
int run_program(RunContext& run, std::span<const std::string> args, const Program& program);

// Entry for main(): a fresh run on the program's console.
int taloq_main(int argc, const char* const* argv, const Program& program);

}  // namespace taloq
