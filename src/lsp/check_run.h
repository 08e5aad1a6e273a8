#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "driver/run_context.h"

namespace taloq::lsp {

// Which files make the check of a document, and where it runs.
struct RunPlan {
  // One run per key: the project file's path, or the document's own.
  std::string key;
  // The folder the run works in, as the checker started there would: the
  // paths of a project file and of the configuration files are relative to
  // it. Empty for a document that is no file (it is checked alone).
  std::string directory;
  // What the checker is given: the project file or the document.
  std::string argument;
  std::string project;  // the project file's absolute path, empty for none
};

// The project file (extension tlqprj) that lists the document, the nearest
// one up from its folder without leaving the workspace folder that holds
// the document (only its own folder without a workspace); else the
// document alone.
RunPlan plan_run(const std::string& document, const std::vector<std::string>& workspace_roots);

// True when the project file names `document` on one of its lines.
bool project_lists(const std::string& project, const std::string& document);

// A path the run names (relative to `directory`) as a normal absolute path.
std::string resolve_path(std::string_view directory, std::string_view path);

// One problem the run reported, or one finding of taloqlint.
struct Problem {
  std::string file;  // as the run names it; empty when the line names no file
  int line = 0;      // the file's own line, from 1; 0 when it names none
  int severity = 1;  // the protocol's: 1 error, 2 warning, 3 information
  std::string message;
  std::string code;  // the lint rule; empty for the checker's own lines
};

// Reference texts as they were parsed, by element: the link pass replaces
// them by the text of the last reference of a chain.
using ReferenceTexts = std::unordered_map<const Element*, std::string>;

// The outcome of one check. The run is kept, model and all, so that
// navigation reads the model the diagnostics came from.
struct CheckResult {
  RunPlan plan;
  std::unique_ptr<RunContext> run;
  ReferenceTexts parsed_references;
  std::vector<Problem> problems;
  // The absolute paths of the sources the run read, in load order.
  std::vector<std::string> sources;
  // The texts the run read from disk, by absolute path (open documents are
  // read from the editor's text).
  std::unordered_map<std::string, std::string> disk_texts;
};

// The text of an open document by absolute path, or null.
using OpenText = std::function<const std::string*(const std::string& path)>;

// Runs the checker's whole run sequence as `taloqchk <argument>` in the
// plan's folder would, with open documents read from the editor, and
// gathers its diagnostics and the findings of taloqlint.
std::unique_ptr<CheckResult> run_check(const RunPlan& plan, const OpenText& open_text);

}  // namespace taloq::lsp
