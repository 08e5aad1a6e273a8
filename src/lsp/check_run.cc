#include "lsp/check_run.h"

#include <algorithm>
#include <filesystem>
#include <ostream>
#include <system_error>

#include "driver/checker.h"
#include "driver/run_observer.h"
#include "lsp/diagnostics.h"
#include "lsp/lint_findings.h"
#include "lsp/written_elements.h"
#include "parse/element.h"
#include "source/text_file.h"

namespace taloq::lsp {
namespace fs = std::filesystem;

namespace {

bool has_project_extension(const fs::path& path) {
  std::string extension = path.extension().string();
  std::transform(extension.begin(), extension.end(), extension.begin(),
                 [](char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; });
  return extension == ".tlqprj";
}

// The checker takes an argument that begins with '-' for a flag and one
// that begins with '+' for the library list's marker.
std::string as_argument(const fs::path& name) {
  const std::string text = name.string();
  return text.starts_with('-') || text.starts_with('+') ? "./" + text : text;
}

// A folder's path without a trailing separator, so that paths compare
// element by element.
fs::path normal_folder(const fs::path& folder) {
  fs::path normal = folder.lexically_normal();
  if (!normal.has_filename() && normal.has_relative_path()) normal = normal.parent_path();
  return normal;
}

bool is_within(const fs::path& folder, const fs::path& root) {
  auto f = folder.begin();
  for (auto r = root.begin(); r != root.end(); ++r, ++f) {
    if (f == folder.end() || *f != *r) return false;
  }
  return true;
}

// The checker runs where its relative paths start; the server's own folder
// is put back afterwards. The server checks on one thread, so nothing else
// sees the change.
class WorkingDirectory {
 public:
  explicit WorkingDirectory(const std::string& directory) {
    if (directory.empty()) return;
    std::error_code error;
    previous_ = fs::current_path(error);
    if (error) return;
    fs::current_path(directory, error);
    changed_ = !error;
  }
  ~WorkingDirectory() {
    std::error_code error;
    if (changed_) fs::current_path(previous_, error);
  }
  WorkingDirectory(const WorkingDirectory&) = delete;
  WorkingDirectory& operator=(const WorkingDirectory&) = delete;

 private:
  fs::path previous_;
  bool changed_ = false;
};

// The run's console: the server speaks the protocol on standard output, so
// nothing the checker prints may go there. The observer hears every line.
std::ostream& null_console() {
  static std::ostream discard(nullptr);
  return discard;
}

// Hears the run: its lines become problems, and the linter's rules run at
// the points of the run they are written for.
class Watcher final : public RunObserver {
 public:
  explicit Watcher(CheckResult& result) : result_(result) {}

  void printed(const PrintedLine& line) override {
    result_.problems.push_back(problem_from_printed(line));
    // The linter explains unresolved references only when the link pass
    // reported one.
    if (line.severity != kPrintedAsItStands &&
        line.message.starts_with("Unable to expand definition of -")) {
      unresolved_ = true;
    }
  }

  void loaded(RunContext& run) override {
    for_each_written_element(run, [this](const Element& element, ModuleRecord&) {
      if (element.type() == ET_LINK) {
        result_.parsed_references.emplace(&element, element.link().str());
      }
    });
    add_lint_findings(run, result_.parsed_references, LintPoint::kLoaded, result_.problems);
  }

  void analysed(RunContext& run, bool clean) override {
    if (clean) {
      add_lint_findings(run, result_.parsed_references, LintPoint::kClean, result_.problems);
    } else if (unresolved_) {
      add_lint_findings(run, result_.parsed_references, LintPoint::kUnresolved, result_.problems);
    }
  }

 private:
  CheckResult& result_;
  bool unresolved_ = false;
};

}  // namespace

std::string resolve_path(std::string_view directory, std::string_view path) {
  fs::path p(path);
  if (p.is_relative() && !directory.empty()) p = fs::path(directory) / p;
  return p.lexically_normal().string();
}

bool project_lists(const std::string& project, const std::string& document) {
  const std::optional<std::string> text = read_text_file(project);
  if (!text) return false;
  const std::string directory = fs::path(project).parent_path().string();
  for (const std::string_view raw_line : split_lines(*text)) {
    const std::optional<std::string> line = project_line_path(raw_line);
    if (!line) continue;
    const std::string listed = resolve_path(directory, *line);
    if (listed == document) return true;
    std::error_code error;
    if (fs::equivalent(listed, document, error)) return true;
  }
  return false;
}

RunPlan plan_run(const std::string& document, const std::vector<std::string>& workspace_roots) {
  const fs::path path(document);
  if (!path.is_absolute()) return {document, "", document, ""};
  if (has_project_extension(path)) {
    return {document, path.parent_path().string(), as_argument(path.filename()), document};
  }
  // The innermost workspace folder that holds the document bounds the search.
  std::optional<fs::path> root;
  for (const std::string& candidate : workspace_roots) {
    const fs::path r = normal_folder(candidate);
    if (is_within(path.parent_path(), r) &&
        (!root || std::distance(r.begin(), r.end()) > std::distance(root->begin(), root->end()))) {
      root = r;
    }
  }
  fs::path folder = path.parent_path();
  for (;;) {
    std::vector<fs::path> projects;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
      if (has_project_extension(it->path()) && it->is_regular_file(error)) {
        projects.push_back(it->path());
      }
    }
    std::sort(projects.begin(), projects.end());
    for (const fs::path& project : projects) {
      if (project_lists(project.string(), document)) {
        return {project.string(), folder.string(), as_argument(project.filename()),
                project.string()};
      }
    }
    if (!root || folder == *root || folder == folder.parent_path()) break;
    folder = folder.parent_path();
  }
  return {document, path.parent_path().string(), as_argument(path.filename()), ""};
}

std::unique_ptr<CheckResult> run_check(const RunPlan& plan, const OpenText& open_text) {
  auto result = std::make_unique<CheckResult>();
  result->plan = plan;
  result->run = std::make_unique<RunContext>();
  RunContext& run = *result->run;
  Watcher watcher(*result);
  run.console = &null_console();
  run.observer = &watcher;
  run.open_source = [&plan, &open_text, &result](const std::string& path) -> const std::string* {
    const std::string absolute = resolve_path(plan.directory, path);
    const std::string* text = open_text(absolute);
    if (text == nullptr) {
      std::optional<std::string> read = read_text_file(absolute);
      // The checker reports a file it cannot read itself.
      if (!read) return nullptr;
      text = &result->disk_texts.insert_or_assign(absolute, std::move(*read)).first->second;
    }
    result->sources.push_back(absolute);
    return text;
  };
  {
    const WorkingDirectory here(plan.directory);
    const std::vector<std::string> args{plan.argument};
    run_program(run, args, Program{false, BackEnd(), nullptr});
  }
  // The model stays; what pointed into this call goes.
  run.observer = nullptr;
  run.open_source = nullptr;
  return result;
}

}  // namespace taloq::lsp
