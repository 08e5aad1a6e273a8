#include "lint/lint_program.h"

#include <algorithm>
#include <map>
#include <ostream>

#include "driver/checker.h"
#include "driver/diagnostics.h"
#include "driver/run_context.h"
#include "driver/run_observer.h"
#include "lint/lint_context.h"
#include "lint/model_walk.h"
#include "lint/rules.h"
#include "parse/element.h"

namespace taloq::lint {
namespace {

constexpr std::string_view kUsage =
    "Usage: taloqlint [options] source-file *[+ library-source-file]\n"
    "       taloqlint [options] project-file.tlqprj\n"
    "\n"
    "Checks Taloq definitions as taloqchk does, prints every diagnostic of the\n"
    "checker, and adds findings on mistakes the language lets through.\n"
    "\n"
    "Options:\n"
    "  --format=FORMAT     text (default), json, github or sarif\n"
    "  --fail-on-warnings  exit with status 1 when there is a warning\n"
    "  --rules             list the rules: name, severity, description\n"
    "  --help, -?          print this help\n"
    "  --version           print the version\n"
    "\n"
    "Exit status: 0 when nothing failed, 1 when there is an error (or, with\n"
    "--fail-on-warnings, a warning), 2 for a wrong option.\n";

// Lines printed as they stand carry no severity; those that do not warn
// report a failure.
Level direct_line_level(std::string_view text) {
  return text.starts_with("Warning") ? Level::kWarning : Level::kError;
}

// Watches the run: hands every line the checker prints to the report as it
// comes, and runs each rule at its stage; the findings follow at the end.
class Linter final : public RunObserver {
 public:
  explicit Linter(ReportWriter& writer) : writer_(writer) {}

  void printed(const PrintedLine& line) override {
    Finding entry;
    entry.file = line.file;
    entry.line = line.line;
    entry.message = line.message;
    entry.printed = line.printed;
    entry.level = line.severity == kPrintedAsItStands ? direct_line_level(line.message)
                  : line.severity >= SEV_WARNING      ? Level::kWarning
                                                      : Level::kError;
    if (line.severity != kPrintedAsItStands &&
        line.message.starts_with("Unable to expand definition of -")) {
      unresolved_ = true;
    }
    add(entry);
  }

  void loaded(RunContext& run) override {
    // The link pass replaces a failing reference's text by the last one it
    // reached; the explanation starts from what was written.
    for (const Body& body : written_bodies(run)) {
      for (const Element* e = body.first; e != nullptr && e != body.end; e = e->next()) {
        if (e->type() == ET_LINK) parsed_links_.emplace(e, e->link().str());
      }
    }
    run_stage(run, Stage::kParsed);
  }

  void analysed(RunContext& run, bool clean) override {
    reached_end_ = true;
    if (clean) {
      run_stage(run, Stage::kResolved);
    } else if (unresolved_) {
      run_stage(run, Stage::kUnresolved);
    }
  }

  // Writes the findings, in order, and the end of the report.
  void finish(const RunContext& run) {
    sort_findings(run, findings_);
    Summary summary;
    summary.reached_end = reached_end_;
    summary.errors = run.errors;
    summary.warnings = run.warnings;
    for (const Finding& finding : findings_) {
      ++(finding.level == Level::kError ? summary.errors : summary.warnings);
      add(finding);
    }
    writer_.finish(summary);
  }

  bool any_error() const { return any_error_; }
  bool any_warning() const { return any_warning_; }

 private:
  void add(const Finding& entry) {
    (entry.level == Level::kError ? any_error_ : any_warning_) = true;
    writer_.entry(entry);
  }

  void run_stage(RunContext& run, Stage stage) {
    LintContext lint(run, parsed_links_, findings_);
    for (const Rule& rule : rule_table()) {
      if (rule.stage != stage) continue;
      lint.set_rule(rule);
      rule.check(lint);
    }
  }

  // By file, in the order the run read them (each source followed by its
  // configuration file), then by line; equal places keep the rules' order.
  static void sort_findings(const RunContext& run, std::vector<Finding>& findings) {
    std::map<std::string, std::size_t, std::less<>> rank;
    for (const FrontEndNotes::Source& source : run.notes.sources) {
      rank.try_emplace(source.path, rank.size());
      rank.try_emplace(source.path + "cfg", rank.size());
    }
    auto rank_of = [&rank](const Finding& f) {
      const auto found = rank.find(f.file);
      return found != rank.end() ? found->second : rank.size();
    };
    std::stable_sort(findings.begin(), findings.end(), [&](const Finding& a, const Finding& b) {
      const std::size_t ra = rank_of(a);
      const std::size_t rb = rank_of(b);
      if (ra != rb) return ra < rb;
      if (a.file != b.file) return a.file < b.file;
      return a.line < b.line;
    });
  }

  ReportWriter& writer_;
  std::vector<Finding> findings_;
  ParsedLinks parsed_links_;
  bool unresolved_ = false;
  bool reached_end_ = false;
  bool any_error_ = false;
  bool any_warning_ = false;
};

void print_rules(std::ostream& out) {
  std::size_t width = 0;
  for (const Rule& rule : rule_table()) width = std::max(width, rule.name.size());
  for (const Rule& rule : rule_table()) {
    out << rule.name << std::string(width - rule.name.size() + 2, ' ')
        << (rule.level == Level::kError ? "error  " : "warning") << "  " << rule.description
        << '\n';
  }
}

}  // namespace

Options parse_options(std::span<const std::string> args) {
  Options options;
  bool leading = true;  // the checker's flags stand before its first file
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& arg = args[i];
    if (arg.size() > 2 && arg.starts_with("--")) {
      const std::size_t equals = arg.find('=');
      const std::string name = arg.substr(0, equals);
      if (name == "--format") {
        std::string value;
        if (equals != std::string::npos) {
          value = arg.substr(equals + 1);
        } else if (i + 1 < args.size()) {
          value = args[++i];
        }
        const std::optional<Format> format = parse_format(value);
        if (!format) {
          options.error = "--format takes text, json, github or sarif, not '" + value + "'";
          return options;
        }
        options.format = *format;
      } else if (equals != std::string::npos) {
        options.error = name + " takes no value";
        return options;
      } else if (name == "--fail-on-warnings") {
        options.fail_on_warnings = true;
      } else if (name == "--rules") {
        options.action = Options::Action::kRules;
      } else if (name == "--help") {
        options.action = Options::Action::kHelp;
      } else if (name == "--version") {
        options.action = Options::Action::kVersion;
      } else {
        options.error = "unknown option " + arg;
        return options;
      }
      continue;
    }
    if (leading && arg.starts_with('-')) {
      if (arg.size() > 1 && arg[1] == '?') options.action = Options::Action::kHelp;
    } else {
      leading = false;
    }
    options.checker_args.push_back(arg);
  }
  return options;
}

int run_lint(std::span<const std::string> args, std::ostream& out, std::ostream& err) {
  const Options options = parse_options(args);
  if (!options.error.empty()) {
    err << "taloqlint: " << options.error << "\n" << kUsage;
    return 2;
  }
  switch (options.action) {
    case Options::Action::kHelp: out << kUsage; return 0;
    case Options::Action::kVersion: out << "taloqlint 0.9\n"; return 0;
    case Options::Action::kRules: print_rules(out); return 0;
    case Options::Action::kLint: break;
  }
  // The main source (or project file) is the first argument that is not a
  // flag, as the checker reads its arguments.
  const auto main_source =
      std::find_if(options.checker_args.begin(), options.checker_args.end(),
                   [](const std::string& arg) { return !arg.starts_with('-'); });
  if (main_source == options.checker_args.end()) {
    out << "Insufficient arguments\n" << kUsage;
    return 1;
  }
  // The checker's lines reach the report through the observer; the console
  // itself goes nowhere.
  const std::unique_ptr<ReportWriter> writer =
      make_report_writer(options.format, out, *main_source);
  std::ostream discard(nullptr);
  RunContext run;
  Linter linter(*writer);
  run.console = &discard;
  run.observer = &linter;
  int status = run_program(run, options.checker_args, Program{false, BackEnd(), &discard});
  linter.finish(run);
  out.flush();
  if (linter.any_error()) status = 1;
  if (options.fail_on_warnings && linter.any_warning()) status = 1;
  return status;
}

}  // namespace taloq::lint
