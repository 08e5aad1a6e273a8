#include "lint/output_formats.h"

#include <ostream>

#include "dump/json_output.h"
#include "lint/rules.h"

namespace taloq::lint {
namespace {

const char* level_name(Level level) {
  return level == Level::kError ? "error" : "warning";
}

// A message without the newline that some checker messages end in.
std::string_view bare_message(std::string_view message) {
  while (message.ends_with('\n')) message.remove_suffix(1);
  return message;
}

void write_json_entry(JsonOutput& json, const Finding& entry) {
  json.start_object();
  json.key("file");
  if (entry.file.empty()) {
    json.null();
  } else {
    json.text(entry.file);
  }
  json.key("line");
  if (entry.line > 0) {
    json.integer(entry.line);
  } else {
    json.null();
  }
  json.key("severity");
  json.text(level_name(entry.level));
  json.key("message");
  json.text(bare_message(entry.message));
  json.key("rule");
  if (entry.rule.empty()) {
    json.null();
  } else {
    json.text(entry.rule);
  }
  json.end_object();
}

// The checker's own diagnostics share one entry of the tool's rules, so
// that every result of the log names a rule.
constexpr std::string_view kCheckerRule = "checker";

void write_sarif_rule(JsonOutput& json, std::string_view id, std::string_view description,
                      Level level) {
  json.start_object();
  json.key("id");
  json.text(id);
  json.key("shortDescription");
  json.start_object();
  json.key("text");
  json.text(description);
  json.end_object();
  json.key("defaultConfiguration");
  json.start_object();
  json.key("level");
  json.text(level_name(level));
  json.end_object();
  json.end_object();
}

void write_sarif_result(JsonOutput& json, const Finding& entry, const std::string& main_source) {
  const std::span<const Rule> rules = rule_table();
  std::size_t rule_index = 0;  // the checker's entry comes first
  for (std::size_t i = 0; i < rules.size(); ++i) {
    if (rules[i].name == entry.rule) rule_index = i + 1;
  }
  json.start_object();
  json.key("ruleId");
  json.text(entry.rule.empty() ? kCheckerRule : entry.rule);
  json.key("ruleIndex");
  json.integer(static_cast<std::int64_t>(rule_index));
  json.key("level");
  json.text(level_name(entry.level));
  json.key("message");
  json.start_object();
  json.key("text");
  json.text(bare_message(entry.message));
  json.end_object();
  const std::string& file = entry.file.empty() ? main_source : entry.file;
  if (!file.empty()) {
    json.key("locations");
    json.start_array();
    json.start_object();
    json.key("physicalLocation");
    json.start_object();
    json.key("artifactLocation");
    json.start_object();
    json.key("uri");
    json.text(artifact_uri(file));
    json.end_object();
    json.key("region");
    json.start_object();
    json.key("startLine");
    json.integer(entry.file.empty() || entry.line <= 0 ? 1 : entry.line);
    json.end_object();
    json.end_object();
    json.end_object();
    json.end_array();
  }
  json.end_object();
}

class TextWriter final : public ReportWriter {
 public:
  explicit TextWriter(std::ostream& out) : out_(out) {}
  void entry(const Finding& entry) override {
    if (entry.rule.empty()) {
      out_ << entry.printed;  // the checker's line as the checker prints it
    } else {
      out_ << text_line(entry) << '\n';
    }
  }
  void finish(const Summary& summary) override {
    if (summary.reached_end) {
      out_ << summary.errors << " error(s), " << summary.warnings << " warning(s)\n";
    }
  }

 private:
  std::ostream& out_;
};

class GithubWriter final : public ReportWriter {
 public:
  explicit GithubWriter(std::ostream& out) : out_(out) {}
  void entry(const Finding& entry) override { out_ << github_line(entry) << '\n'; }
  void finish(const Summary&) override {}

 private:
  std::ostream& out_;
};

class JsonWriter final : public ReportWriter {
 public:
  explicit JsonWriter(std::ostream& out) : out_(out), json_(std::make_unique<JsonOutput>(out)) {
    json_->start_array();
  }
  void entry(const Finding& entry) override { write_json_entry(*json_, entry); }
  void finish(const Summary&) override {
    json_->end_array();
    json_.reset();  // hands the rest of the document to the stream
    out_ << '\n';
  }

 private:
  std::ostream& out_;
  std::unique_ptr<JsonOutput> json_;
};

class SarifWriter final : public ReportWriter {
 public:
  SarifWriter(std::ostream& out, std::string main_source)
      : out_(out), json_(std::make_unique<JsonOutput>(out)), main_source_(std::move(main_source)) {
    JsonOutput& json = *json_;
    json.start_object();
    json.key("$schema");
    json.text("https://json.schemastore.org/sarif-2.1.0.json");
    json.key("version");
    json.text("2.1.0");
    json.key("runs");
    json.start_array();
    json.start_object();
    json.key("tool");
    json.start_object();
    json.key("driver");
    json.start_object();
    json.key("name");
    json.text("taloqlint");
    json.key("version");
    json.text("0.9");
    json.key("rules");
    json.start_array();
    write_sarif_rule(json, kCheckerRule, "an error or warning of the checker, taloqchk",
                     Level::kError);
    for (const Rule& rule : rule_table()) {
      write_sarif_rule(json, rule.name, rule.description, rule.level);
    }
    json.end_array();
    json.end_object();
    json.end_object();
    json.key("results");
    json.start_array();
  }
  void entry(const Finding& entry) override { write_sarif_result(*json_, entry, main_source_); }
  void finish(const Summary&) override {
    json_->end_array();
    json_->end_object();
    json_->end_array();
    json_->end_object();
    json_.reset();
    out_ << '\n';
  }

 private:
  std::ostream& out_;
  std::unique_ptr<JsonOutput> json_;
  std::string main_source_;
};

// Workflow commands end at a line break and split properties at ',' and
// ':', so those are percent-encoded, as the runner decodes them.
std::string github_escape(std::string_view text, bool property) {
  std::string out;
  for (const char c : text) {
    switch (c) {
      case '%': out += "%25"; break;
      case '\r': out += "%0D"; break;
      case '\n': out += "%0A"; break;
      case ':': out += property ? "%3A" : ":"; break;
      case ',': out += property ? "%2C" : ","; break;
      default: out += c;
    }
  }
  return out;
}

}  // namespace

std::optional<Format> parse_format(std::string_view name) {
  if (name == "text") return Format::kText;
  if (name == "json") return Format::kJson;
  if (name == "github") return Format::kGithub;
  if (name == "sarif") return Format::kSarif;
  return std::nullopt;
}

std::string text_line(const Finding& finding) {
  std::string line;
  if (!finding.file.empty()) {
    line += finding.file;
    if (finding.line > 0) line += "(" + std::to_string(finding.line) + ")";
    line += " : ";
  }
  line += level_name(finding.level);
  line += ": ";
  line += bare_message(finding.message);
  if (!finding.rule.empty()) line += " [" + std::string(finding.rule) + "]";
  return line;
}

std::string github_line(const Finding& finding) {
  std::string properties;
  auto add = [&properties](std::string_view name, std::string_view value) {
    properties += properties.empty() ? " " : ",";
    properties += name;
    properties += '=';
    properties += github_escape(value, true);
  };
  if (!finding.file.empty()) add("file", finding.file);
  if (!finding.file.empty() && finding.line > 0) add("line", std::to_string(finding.line));
  if (!finding.rule.empty()) add("title", finding.rule);
  return "::" + std::string(level_name(finding.level)) + properties +
         "::" + github_escape(bare_message(finding.message), false);
}

std::string artifact_uri(std::string_view path) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string uri = path.starts_with('/') ? "file://" : "";
  for (const char c : path) {
    const auto byte = static_cast<unsigned char>(c);
    const bool plain = (byte >= 'a' && byte <= 'z') || (byte >= 'A' && byte <= 'Z') ||
                       (byte >= '0' && byte <= '9') || c == '-' || c == '.' || c == '_' ||
                       c == '~' || c == '/';
    if (plain) {
      uri += c;
    } else {
      uri += '%';
      uri += kHex[byte >> 4];
      uri += kHex[byte & 0xF];
    }
  }
  return uri;
}

std::unique_ptr<ReportWriter> make_report_writer(Format format, std::ostream& out,
                                                 std::string main_source) {
  switch (format) {
    case Format::kJson: return std::make_unique<JsonWriter>(out);
    case Format::kGithub: return std::make_unique<GithubWriter>(out);
    case Format::kSarif: return std::make_unique<SarifWriter>(out, std::move(main_source));
    case Format::kText: break;
  }
  return std::make_unique<TextWriter>(out);
}

}  // namespace taloq::lint
