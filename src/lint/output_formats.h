#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "lint/finding.h"

namespace taloq::lint {

enum class Format { kText, kJson, kGithub, kSarif };

// "text", "json", "github" or "sarif".
std::optional<Format> parse_format(std::string_view name);

// What the end of a report says: the count line, printed only when the run
// reached its end (a fatal stop has none), with the checker's counts and
// the findings together.
struct Summary {
  bool reached_end = false;
  int errors = 0;
  int warnings = 0;
};

// Writes a report entry by entry, as the run goes: the checker's lines as
// they are printed, then the findings, then the end. Nothing of the report
// is held but what one entry needs.
class ReportWriter {
 public:
  virtual ~ReportWriter() = default;
  virtual void entry(const Finding& entry) = 0;
  virtual void finish(const Summary& summary) = 0;
};

// `main_source` is where a SARIF log, which needs a location for every
// result, places a result that names no file: the run's main source (or
// project file), at line 1.
std::unique_ptr<ReportWriter> make_report_writer(Format format, std::ostream& out,
                                                 std::string main_source);

// Pieces of the formats, for their tests.
// A finding as a text line: "file(line) : warning: message [rule]".
std::string text_line(const Finding& finding);
// A GitHub workflow command line for one entry.
std::string github_line(const Finding& finding);
// A path as a SARIF artifact URI: a relative path stays relative (to the
// folder the scan ran in), an absolute one becomes a file URI; characters
// outside the URI's unreserved set are percent-encoded.
std::string artifact_uri(std::string_view path);

}  // namespace taloq::lint
