#include "driver/checker.h"

#include <iostream>
#include <new>
#include <vector>

#include "driver/build_info.h"
#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "driver/run_observer.h"
#include "analysis/pipeline.h"
#include "analysis/release.h"
#include "lex/char_class.h"
#include "source/source_file.h"
#include "source/text_file.h"

namespace taloq {
namespace {

constexpr const char* kCopyrightLine =
    "Copyright (c) 2026 the taloqchk developers. All rights reserved.";
constexpr const char* kProjectPageLine =
    "Documentation, releases and issue reports: see the taloqchk project page.";
constexpr std::string_view kProjectExtension = "tlqprj";

bool equals_ignoring_case(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; };
    if (lower(a[i]) != lower(b[i])) return false;
  }
  return true;
}

bool is_project_file(std::string_view name) {
  const std::size_t dot = name.rfind('.');
  return dot != std::string_view::npos &&
         equals_ignoring_case(name.substr(dot + 1), kProjectExtension);
}

void print_banner(RunContext& run) {
  std::ostream& out = *run.console;
  out << "Taloqchk - Check Taloq message definition. V0.9\n"
      << kCopyrightLine << '\n'
      << kProjectPageLine << '\n'
      << '\n';
}

// Loads the sources a project file lists; false when any failed.
bool load_project(RunContext& run, const std::string& project_path) {
  const std::optional<std::string> text = read_text_file(project_path);
  if (!text) {
    print_direct(run, "Fatal Error: Unable to open Taloq project file: %s\n", project_path.c_str());
    ++run.errors;  // counted, so the run cannot end as a success
    return false;
  }
  bool ok = true;
  run.main_source.reset();
  for (const std::string_view raw_line : split_lines(*text)) {
    const std::optional<std::string> path = project_line_path(raw_line);
    if (!path) continue;
    if (!run.main_source) run.main_source = project_path;
    if (load_source_file(run, *path) != 0) ok = false;
  }
  return ok;
}

// Loads the main source and its '+' library list; `consumed` receives the
// number of arguments taken.
bool load_source_list(RunContext& run, std::span<const std::string> args, std::size_t& consumed) {
  bool ok = load_source_file(run, args[0]) == 0;
  run.main_source = args[0];
  consumed = 1;
  while (args.size() - consumed >= 2 && args[consumed].starts_with('+')) {
    if (load_source_file(run, args[consumed + 1]) != 0) ok = false;
    consumed += 2;
  }
  return ok;
}

}  // namespace

std::optional<std::string> project_line_path(std::string_view raw_line) {
  if (raw_line.empty()) return std::nullopt;  // an empty line reads as "\n"
  std::string line(before_nul(raw_line));
  while (line.size() > 1 && is_space(static_cast<unsigned char>(line.back()))) line.pop_back();
  if (!line.empty() &&
      (is_space(static_cast<unsigned char>(line[0])) || line[0] == '-' || line[0] == '#')) {
    return std::nullopt;
  }
  return line;
}

void run_back_end(RunContext&, std::span<const std::string>) {}

void print_help(RunContext& run) {
  std::ostream& out = *run.console;
  out << "\n"
      << "                TaloqChk         " << build_date() << "\n"
      << "                ========         " << build_time() << "\n"
      << "\n"
      << "Description: Checks a Taloq definition file.  The Taloq definition is parsed\n"
      << "             and any errors or warnings reported.\n"
      << "\n"
      << "Format:  taloqchk [flags] source-file *[+ library-source-file]\n"
      << "Where:\n"
      << "    source-file = Name of file containing message definition\n"
      << "\n"
      << "    library-source-file = (Optional) Specifies name of additional Taloq\n"
      << "            source file(s).  Each additional source file name must be \n"
      << "            preceded by a + flag.  \n"
      << "\n"
      << "Example:\n"
      << "    taloqchk source.tlq + lib1.tlq + lib2.tlq\n";
  out << "Flags:-\n"
      << "-?             - Print out this help information.\n"
      << "\n"
      << kCopyrightLine << "\n"
      << "\n"
      << kProjectPageLine << "\n";
}

void run_checker(RunContext& run, std::span<const std::string> args, const Program& program) {
  if (program.print_banner) print_banner(run);
  bool ok = true;
  std::span<const std::string> back_end_args = args;
  if (is_project_file(args[0])) {
    ok = load_project(run, args[0]);
  } else {
    std::size_t consumed = 0;
    ok = load_source_list(run, args, consumed);
    back_end_args = args.subspan(consumed);
  }
  if (run.observer != nullptr) run.observer->loaded(run);
  if (ok) ok = run_analysis(run) == 1;
  if (run.observer != nullptr) run.observer->analysed(run, ok);
  if (ok && program.back_end) program.back_end(run, back_end_args);
  *run.console << run.errors << " error(s), " << run.warnings << " warning(s)\n";
  release_model(run);
}

int run_program(RunContext& run, std::span<const std::string> args, const Program& program) {
  try {
    std::size_t first = 0;
    for (; first < args.size() && args[first].starts_with('-'); ++first) {
      if (args[first].size() > 1 && args[first][1] == '?') {
        print_help(run);
        return 0;
      }
    }
    if (first == args.size()) {
      *run.console << "Insufficient arguments\n";
      print_help(run);
      return 1;
    }
    run_checker(run, args.subspan(first), program);
    return run.errors == 0 ? 0 : 1;
  } catch (const FatalStop&) {
    run.console->flush();
    return 1;
  } catch (const std::bad_alloc&) {
    print_direct(run, "FATAL error: Unable to allocate memory\n");
    run.console->flush();
    return 1;
  }
}

int taloq_main(int argc, const char* const* argv, const Program& program) {
  std::ios::sync_with_stdio(false);
  const std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + (argc > 0 ? argc : 0));
  RunContext run;
  run.notes.wanted = false;  // only the linter reads them
  if (program.console != nullptr) run.console = program.console;
  const int status = run_program(run, args, program);
  run.console->flush();
  return status;
}

}  // namespace taloq
