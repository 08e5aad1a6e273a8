#include "lsp/server.h"

#include <algorithm>
#include <exception>

#include "lex/char_class.h"
#include "lsp/diagnostics.h"
#include "source/text_file.h"

namespace taloq::lsp {
namespace {

constexpr const char* kVersion = "0.9";

struct InvalidParams {
  std::string message;
};

std::string_view required_text(const JsonValue* object, const char* name) {
  const std::optional<std::string_view> text = text_member(object, name);
  if (!text) throw InvalidParams{std::string("Invalid params: no text ") + name};
  return *text;
}

const JsonValue* required_object(const JsonValue* object, const char* name) {
  const JsonValue* value = member(object, name);
  if (value == nullptr || !value->IsObject()) {
    throw InvalidParams{std::string("Invalid params: no object ") + name};
  }
  return value;
}

std::size_t required_count(const JsonValue* object, const char* name) {
  const std::optional<std::int64_t> value = integer_member(object, name);
  if (!value || *value < 0) throw InvalidParams{std::string("Invalid params: no number ") + name};
  return static_cast<std::size_t>(*value);
}

bool has_project_extension(std::string_view path) {
  if (path.size() < 7) return false;
  std::string extension(path.substr(path.size() - 7));
  for (char& c : extension) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return extension == ".tlqprj";
}

// The byte offset of a protocol position in a text.
std::size_t offset_in(std::string_view text, const LineIndex& lines, std::size_t line,
                      std::size_t character, Encoding encoding) {
  if (line >= lines.line_count()) return text.size();
  return lines.line_start(line) + byte_column(lines.line(line), character, encoding);
}

// Where `name` stands as a whole word in `line`, if it does.
std::optional<std::size_t> word_in_line(std::string_view line, std::string_view name) {
  if (name.empty()) return std::nullopt;
  for (std::size_t at = line.find(name); at != std::string_view::npos;
       at = line.find(name, at + 1)) {
    const bool starts = at == 0 || !is_word_char(static_cast<unsigned char>(line[at - 1]));
    const std::size_t end = at + name.size();
    const bool ends = end == line.size() || !is_word_char(static_cast<unsigned char>(line[end]));
    if (starts && ends) return at;
  }
  return std::nullopt;
}

// The name on a line of a text as a range (the line's text when the name is
// not found on it).
Range name_range(const LineIndex& lines, int line, std::string_view name, Encoding encoding) {
  Range range = line_range(&lines, line, encoding);
  const std::string_view text = lines.line(range.start_line);
  if (const std::optional<std::size_t> at = word_in_line(text, name)) {
    range.start_character = client_column(text, *at, encoding);
    range.end_character = client_column(text, *at + name.size(), encoding);
  }
  return range;
}

void write_symbol(JsonWriter& out, const Symbol& symbol, const LineIndex& lines,
                  Encoding encoding) {
  Range range = line_range(&lines, symbol.line, encoding);
  const Range last = line_range(&lines, symbol.last_line, encoding);
  range.end_line = last.end_line;
  range.end_character = last.end_character;
  const Range selection = name_range(lines, symbol.line, symbol.name, encoding);
  out.StartObject();
  out.Key("name");
  write_text(out, symbol.name);
  out.Key("detail");
  write_text(out, symbol.detail);
  out.Key("kind");
  out.Int(symbol.kind);
  out.Key("range");
  write_range(out, range);
  out.Key("selectionRange");
  write_range(out, selection);
  out.Key("children");
  out.StartArray();
  for (const Symbol& child : symbol.children) write_symbol(out, child, lines, encoding);
  out.EndArray();
  out.EndObject();
}

}  // namespace

// An open document: the editor's text, and what is worked out from it once
// per version.
struct Server::Document {
  std::string uri;
  std::string path;
  std::int64_t version = 0;
  std::string text;
  std::string key;  // of the run it belongs to

  void set_text(std::string new_text) {
    text = std::move(new_text);
    lines.reset();
    tokens.reset();
  }
  const LineIndex& line_index() {
    if (!lines) lines = std::make_unique<LineIndex>(text);
    return *lines;
  }
  const std::vector<TokenSpan>& token_spans() {
    if (!tokens) tokens = scan_tokens(text);
    return *tokens;
  }

 private:
  std::unique_ptr<LineIndex> lines;
  std::optional<std::vector<TokenSpan>> tokens;
};

Server::Server(Send send) : send_(std::move(send)) {}

Server::~Server() = default;

void Server::handle(std::string_view body, Clock::time_point now) {
  rapidjson::Document message;
  // Iterative parsing: a deeply nested message must not exhaust the stack.
  message.Parse<rapidjson::kParseIterativeFlag | rapidjson::kParseValidateEncodingFlag>(
      body.data(), body.size());
  if (message.HasParseError()) {
    respond_error(nullptr, kParseError, "Parse error: the message is not JSON");
    return;
  }
  if (!message.IsObject()) {
    respond_error(nullptr, kInvalidRequest, "Invalid Request: a message is a JSON object");
    return;
  }
  const JsonValue* id = member(&message, "id");
  if (id != nullptr && !id->IsString() && !id->IsInt64() && !id->IsNull()) {
    respond_error(nullptr, kInvalidRequest, "Invalid Request: an id is a number or a string");
    return;
  }
  const JsonValue* method = member(&message, "method");
  if (method == nullptr) {
    // A response to a request of the server's own (the registration of
    // file watchers) needs nothing more.
    if (id != nullptr && (member(&message, "result") != nullptr ||
                          member(&message, "error") != nullptr)) {
      return;
    }
    respond_error(id, kInvalidRequest, "Invalid Request: the message has no method");
    return;
  }
  if (!method->IsString()) {
    respond_error(id, kInvalidRequest, "Invalid Request: the method is not a string");
    return;
  }
  dispatch(std::string_view(method->GetString(), method->GetStringLength()), id,
           member(&message, "params"), now);
}

void Server::dispatch(std::string_view method, const JsonValue* id, const JsonValue* params,
                      Clock::time_point now) {
  if (id == nullptr) {
    notification(method, params, now);
    return;
  }
  if (!initialized_ && method != "initialize") {
    respond_error(id, kServerNotInitialized, "Server not initialized: initialize comes first");
    return;
  }
  if (shut_down_) {
    respond_error(id, kInvalidRequest, "Invalid Request: the server is shut down");
    return;
  }
  try {
    request(method, *id, params);
  } catch (const InvalidParams& error) {
    respond_error(id, kInvalidParams, error.message);
  } catch (const std::exception& error) {
    respond_error(id, kInternalError, std::string("Internal error: ") + error.what());
  }
}

void Server::request(std::string_view method, const JsonValue& id, const JsonValue* params) {
  if (method == "initialize") {
    if (initialized_) {
      respond_error(&id, kInvalidRequest, "Invalid Request: the server is initialized already");
      return;
    }
    respond(id, [this, params](JsonWriter& out) { initialize(params, out); });
    initialized_ = true;
  } else if (method == "shutdown") {
    respond(id, [](JsonWriter& out) { out.Null(); });
    shut_down_ = true;
  } else if (method == "textDocument/definition") {
    respond(id, [this, params](JsonWriter& out) { definition(params, out); });
  } else if (method == "textDocument/hover") {
    respond(id, [this, params](JsonWriter& out) { hover(params, out); });
  } else if (method == "textDocument/documentSymbol") {
    respond(id, [this, params](JsonWriter& out) { document_symbol(params, out); });
  } else {
    respond_error(&id, kMethodNotFound, "Method not found: " + std::string(method));
  }
}

void Server::notification(std::string_view method, const JsonValue* params,
                          Clock::time_point now) {
  if (method == "exit") {
    exited_ = true;
    return;
  }
  // Before initialize and after shutdown notifications are dropped.
  if (!initialized_ || shut_down_) return;
  try {
    if (method == "initialized") {
      initialized();
    } else if (method == "textDocument/didOpen") {
      did_open(params, now);
    } else if (method == "textDocument/didChange") {
      did_change(params, now);
    } else if (method == "textDocument/didSave") {
      did_save(params, now);
    } else if (method == "textDocument/didClose") {
      did_close(params, now);
    } else if (method == "workspace/didChangeWatchedFiles") {
      did_change_watched_files(params, now);
    }
    // Any other notification ($/cancelRequest, $/setTrace, ...) is ignored.
  } catch (const InvalidParams&) {
    // A notification has no answer: a malformed one changes nothing.
  } catch (const std::exception&) {
  }
}

void Server::send_message(const Reply& fields) {
  rapidjson::StringBuffer buffer;
  JsonWriter out(buffer);
  out.StartObject();
  out.Key("jsonrpc");
  out.String("2.0");
  fields(out);
  out.EndObject();
  send_(std::string(buffer.GetString(), buffer.GetSize()));
}

void Server::respond(const JsonValue& id, const Reply& result) {
  send_message([&](JsonWriter& out) {
    out.Key("id");
    id.Accept(out);
    out.Key("result");
    result(out);
  });
}

void Server::respond_error(const JsonValue* id, int code, std::string_view message) {
  send_message([&](JsonWriter& out) {
    out.Key("id");
    if (id != nullptr) {
      id->Accept(out);
    } else {
      out.Null();
    }
    out.Key("error");
    out.StartObject();
    out.Key("code");
    out.Int(code);
    out.Key("message");
    write_text(out, message);
    out.EndObject();
  });
}

void Server::send_notification(const char* method, const Reply& params) {
  send_message([&](JsonWriter& out) {
    out.Key("method");
    out.String(method);
    out.Key("params");
    params(out);
  });
}

// ---- lifecycle ---------------------------------------------------------------

void Server::initialize(const JsonValue* params, JsonWriter& out) {
  client_process_.reset();
  if (const JsonValue* process = member(params, "processId");
      process != nullptr && process->IsInt() && process->GetInt() > 0) {
    client_process_ = process->GetInt();
  }
  roots_.clear();
  if (const JsonValue* folders = member(params, "workspaceFolders");
      folders != nullptr && folders->IsArray()) {
    for (const JsonValue& folder : folders->GetArray()) {
      if (const auto uri = text_member(&folder, "uri")) {
        if (const auto path = uri_to_path(*uri)) roots_.push_back(*path);
      }
    }
  }
  if (roots_.empty()) {
    if (const auto uri = text_member(params, "rootUri")) {
      if (const auto path = uri_to_path(*uri)) roots_.push_back(*path);
    } else if (const auto path = text_member(params, "rootPath")) {
      roots_.emplace_back(*path);
    }
  }
  const JsonValue* capabilities = member(params, "capabilities");
  encoding_ = Encoding::kUtf16;
  if (const JsonValue* encodings = member(member(capabilities, "general"), "positionEncodings");
      encodings != nullptr && encodings->IsArray()) {
    for (const JsonValue& encoding : encodings->GetArray()) {
      if (encoding.IsString() && std::string_view(encoding.GetString()) == "utf-8") {
        encoding_ = Encoding::kUtf8;
      }
    }
  }
  register_watchers_ = bool_member(
      member(member(capabilities, "workspace"), "didChangeWatchedFiles"), "dynamicRegistration");

  out.StartObject();
  out.Key("capabilities");
  out.StartObject();
  out.Key("positionEncoding");
  out.String(encoding_ == Encoding::kUtf8 ? "utf-8" : "utf-16");
  out.Key("textDocumentSync");
  out.StartObject();
  out.Key("openClose");
  out.Bool(true);
  out.Key("change");
  out.Int(1);  // the whole text at every change
  out.Key("save");
  out.StartObject();
  out.Key("includeText");
  out.Bool(false);
  out.EndObject();
  out.EndObject();
  out.Key("definitionProvider");
  out.Bool(true);
  out.Key("hoverProvider");
  out.Bool(true);
  out.Key("documentSymbolProvider");
  out.Bool(true);
  out.EndObject();
  out.Key("serverInfo");
  out.StartObject();
  out.Key("name");
  out.String("taloqls");
  out.Key("version");
  out.String(kVersion);
  out.EndObject();
  out.EndObject();
}

void Server::initialized() {
  if (!register_watchers_) return;
  // Files the run reads from disk change under the editor too: the client
  // is asked to report them, where it can watch files for a server.
  const std::string id = "taloqls-" + std::to_string(next_request_id_++);
  send_message([&id](JsonWriter& out) {
    out.Key("id");
    write_text(out, id);
    out.Key("method");
    out.String("client/registerCapability");
    out.Key("params");
    out.StartObject();
    out.Key("registrations");
    out.StartArray();
    out.StartObject();
    out.Key("id");
    out.String("taloq-files");
    out.Key("method");
    out.String("workspace/didChangeWatchedFiles");
    out.Key("registerOptions");
    out.StartObject();
    out.Key("watchers");
    out.StartArray();
    for (const char* pattern : {"**/*.tlq", "**/*.tlqprj", "**/*.tlqcfg"}) {
      out.StartObject();
      out.Key("globPattern");
      out.String(pattern);
      out.EndObject();
    }
    out.EndArray();
    out.EndObject();
    out.EndObject();
    out.EndArray();
    out.EndObject();
  });
}

// ---- documents -----------------------------------------------------------------

std::string Server::path_of_uri(std::string_view uri) const {
  // A document that is no file (an unsaved new one) is checked alone under
  // its URI.
  const std::optional<std::string> path = uri_to_path(uri);
  return path ? resolve_path("", *path) : std::string(uri);
}

std::string Server::uri_of(const std::string& path) const {
  const auto open = documents_.find(path);
  if (open != documents_.end()) return open->second->uri;
  return path.starts_with('/') ? path_to_uri(path) : path;
}

Server::Document* Server::document_of(const JsonValue* params) {
  const JsonValue* item = required_object(params, "textDocument");
  const auto found = documents_.find(path_of_uri(required_text(item, "uri")));
  return found == documents_.end() ? nullptr : found->second.get();
}

void Server::plan_document(Document& document, Clock::time_point now) {
  const std::string old_key = document.key;
  RunPlan plan = plan_run(document.path, roots_);
  document.key = plan.key;
  trigger_[plan.key] = document.path;
  scheduler_.schedule(plan.key, now);
  plans_.insert_or_assign(plan.key, std::move(plan));
  if (!old_key.empty() && old_key != document.key) drop_run_if_unused(old_key);
}

void Server::replan_all(Clock::time_point now) {
  for (auto& [path, document] : documents_) plan_document(*document, now);
}

void Server::drop_run_if_unused(const std::string& key) {
  for (const auto& [path, document] : documents_) {
    if (document->key == key) return;
  }
  for (const std::string& path : published_[key]) publish_file(path, {}, nullptr);
  published_.erase(key);
  results_.erase(key);
  plans_.erase(key);
  trigger_.erase(key);
  scheduler_.cancel(key);
}

void Server::did_open(const JsonValue* params, Clock::time_point now) {
  const JsonValue* item = required_object(params, "textDocument");
  const std::string_view uri = required_text(item, "uri");
  const std::string_view text = required_text(item, "text");
  const std::string path = path_of_uri(uri);
  std::unique_ptr<Document>& document = documents_[path];
  if (!document) document = std::make_unique<Document>();
  document->uri = uri;
  document->path = path;
  document->version = integer_member(item, "version").value_or(0);
  document->set_text(std::string(text));
  plan_document(*document, now);
}

void Server::did_change(const JsonValue* params, Clock::time_point now) {
  Document* document = document_of(params);
  if (document == nullptr) return;
  const JsonValue* changes = member(params, "contentChanges");
  if (changes == nullptr || !changes->IsArray()) {
    throw InvalidParams{"Invalid params: no contentChanges"};
  }
  std::string text = document->text;
  for (const JsonValue& change : changes->GetArray()) {
    const std::string_view replacement = required_text(&change, "text");
    const JsonValue* range = member(&change, "range");
    if (range == nullptr) {
      text = replacement;
      continue;
    }
    // The server asks for whole texts; a client that sends a range anyway
    // is still understood.
    const LineIndex lines(text);
    const JsonValue* start = required_object(range, "start");
    const JsonValue* end = required_object(range, "end");
    const std::size_t from = offset_in(text, lines, required_count(start, "line"),
                                       required_count(start, "character"), encoding_);
    const std::size_t to = offset_in(text, lines, required_count(end, "line"),
                                     required_count(end, "character"), encoding_);
    text.replace(from, std::max(from, to) - from, replacement);
  }
  document->version = integer_member(member(params, "textDocument"), "version")
                          .value_or(document->version + 1);
  document->set_text(std::move(text));
  trigger_[document->key] = document->path;
  scheduler_.schedule(document->key, now);
  // Another run that reads this file sees the new text too.
  for (const auto& [key, result] : results_) {
    if (key != document->key && std::find(result->sources.begin(), result->sources.end(),
                                          document->path) != result->sources.end()) {
      scheduler_.schedule(key, now);
    }
  }
}

void Server::did_save(const JsonValue* params, Clock::time_point now) {
  Document* document = document_of(params);
  if (document == nullptr) return;
  if (const std::optional<std::string_view> text = text_member(params, "text")) {
    document->set_text(std::string(*text));
  }
  // A saved project file may change which run every document belongs to.
  if (has_project_extension(document->path)) {
    replan_all(now);
  } else {
    scheduler_.schedule(document->key, now);
  }
}

void Server::did_close(const JsonValue* params, Clock::time_point now) {
  Document* document = document_of(params);
  if (document == nullptr) return;
  const std::string key = document->key;
  const std::string closed = document->path;
  documents_.erase(closed);
  // The file is read from disk from now on, by the runs that still need it.
  for (const auto& [path, other] : documents_) {
    if (other->key == key) {
      trigger_[key] = path;
      scheduler_.schedule(key, now);
      return;
    }
  }
  drop_run_if_unused(key);
}

void Server::did_change_watched_files(const JsonValue* params, Clock::time_point now) {
  const JsonValue* changes = member(params, "changes");
  if (changes == nullptr || !changes->IsArray()) throw InvalidParams{"Invalid params: no changes"};
  bool project_changed = false;
  for (const JsonValue& change : changes->GetArray()) {
    if (const auto uri = text_member(&change, "uri")) {
      project_changed = project_changed || has_project_extension(*uri);
    }
  }
  if (project_changed) replan_all(now);
  // A file on disk may be any run's source, configuration or a source that
  // was missing: every run is checked again.
  for (const auto& [key, plan] : plans_) scheduler_.schedule(key, now);
}

// ---- checks and diagnostics --------------------------------------------------------

void Server::run_due_checks(Clock::time_point now) {
  for (const std::string& key : scheduler_.take_due(now)) check(key);
}

void Server::check(const std::string& key) {
  const auto plan = plans_.find(key);
  if (plan == plans_.end()) return;
  // The model of the last check goes first: a large one is not held twice.
  results_.erase(key);
  std::unique_ptr<CheckResult> result;
  try {
    result = run_check(plan->second, [this](const std::string& path) -> const std::string* {
      const auto open = documents_.find(path);
      return open == documents_.end() ? nullptr : &open->second->text;
    });
  } catch (const std::exception&) {
    return;  // no diagnostics this time; the next change tries again
  }
  publish(key, *result);
  results_[key] = std::move(result);
}

void Server::publish(const std::string& key, const CheckResult& result) {
  std::map<std::string, std::vector<const Problem*>> by_file;
  for (const std::string& source : result.sources) by_file[source];
  const auto trigger = trigger_.find(key);
  const std::string unplaced = trigger != trigger_.end() ? trigger->second : key;
  for (const Problem& problem : result.problems) {
    const std::string path =
        problem.file.empty() ? unplaced : resolve_path(result.plan.directory, problem.file);
    by_file[path].push_back(&problem);
  }
  std::set<std::string>& published = published_[key];
  // A file that had problems and is no longer part of the run is cleared.
  for (const std::string& path : published) by_file[path];
  published.clear();
  for (const auto& [path, problems] : by_file) {
    publish_file(path, problems, &result);
    if (!problems.empty()) published.insert(path);
  }
}

void Server::publish_file(const std::string& path, const std::vector<const Problem*>& problems,
                          const CheckResult* result) {
  const Document* document = nullptr;
  if (const auto open = documents_.find(path); open != documents_.end()) {
    document = open->second.get();
  }
  std::map<std::string, std::string> read;
  std::optional<LineIndex> own_lines;
  const LineIndex* lines = nullptr;
  if (document != nullptr) {
    lines = &documents_.at(path)->line_index();
  } else if (!problems.empty()) {
    if (const std::optional<std::string_view> text = text_of(path, result, read)) {
      lines = &own_lines.emplace(*text);
    }
  }
  send_notification("textDocument/publishDiagnostics", [&](JsonWriter& out) {
    out.StartObject();
    out.Key("uri");
    write_text(out, uri_of(path));
    if (document != nullptr) {
      out.Key("version");
      out.Int64(document->version);
    }
    out.Key("diagnostics");
    out.StartArray();
    for (const Problem* problem : problems) write_diagnostic(out, *problem, lines, encoding_);
    out.EndArray();
    out.EndObject();
  });
}

std::optional<std::string_view> Server::text_of(const std::string& path,
                                                const CheckResult* result,
                                                std::map<std::string, std::string>& read) {
  if (const auto open = documents_.find(path); open != documents_.end()) {
    return open->second->text;
  }
  if (result != nullptr) {
    if (const auto disk = result->disk_texts.find(path); disk != result->disk_texts.end()) {
      return disk->second;
    }
  }
  if (const auto done = read.find(path); done != read.end()) return done->second;
  std::optional<std::string> text = read_text_file(path);
  if (!text) return std::nullopt;
  return read.emplace(path, std::move(*text)).first->second;
}

CheckResult* Server::fresh_result(const Document& document) {
  if (scheduler_.pending(document.key) || !results_.contains(document.key)) {
    scheduler_.cancel(document.key);
    check(document.key);
  }
  const auto found = results_.find(document.key);
  return found == results_.end() ? nullptr : found->second.get();
}

// ---- navigation ------------------------------------------------------------------------

std::optional<std::size_t> Server::offset_of(Document& document, const JsonValue* params) {
  const JsonValue* position = required_object(params, "position");
  const std::size_t line = required_count(position, "line");
  const std::size_t character = required_count(position, "character");
  const LineIndex& lines = document.line_index();
  if (line >= lines.line_count()) return std::nullopt;
  return offset_in(document.text, lines, line, character, encoding_);
}

DocumentView Server::view_of(Document& document) {
  return DocumentView{document.path, document.text, document.line_index(),
                      document.token_spans()};
}

void Server::write_place(JsonWriter& out, const Place& place, const CheckResult& result) {
  std::map<std::string, std::string> read;
  Range range;
  range.start_line = range.end_line = place.line > 0 ? static_cast<std::size_t>(place.line - 1) : 0;
  std::optional<LineIndex> lines;
  if (const std::optional<std::string_view> text = text_of(place.path, &result, read)) {
    range = name_range(lines.emplace(*text), place.line, place.name, encoding_);
  }
  out.StartObject();
  out.Key("uri");
  write_text(out, uri_of(place.path));
  out.Key("range");
  write_range(out, range);
  out.EndObject();
}

void Server::definition(const JsonValue* params, JsonWriter& out) {
  Document* document = document_of(params);
  const std::optional<std::size_t> offset =
      document != nullptr ? offset_of(*document, params) : std::nullopt;
  CheckResult* result = offset ? fresh_result(*document) : nullptr;
  if (result == nullptr) {
    out.Null();
    return;
  }
  std::map<std::string, std::string> read;
  const TextOf text_of = [&](const std::string& path) { return this->text_of(path, result, read); };
  const std::optional<Place> place = find_definition(*result, view_of(*document), *offset, text_of);
  if (!place) {
    out.Null();
    return;
  }
  write_place(out, *place, *result);
}

void Server::hover(const JsonValue* params, JsonWriter& out) {
  Document* document = document_of(params);
  const std::optional<std::size_t> offset =
      document != nullptr ? offset_of(*document, params) : std::nullopt;
  CheckResult* result = offset ? fresh_result(*document) : nullptr;
  const std::optional<std::string> text =
      result != nullptr ? hover_text(*result, view_of(*document), *offset) : std::nullopt;
  if (!text) {
    out.Null();
    return;
  }
  out.StartObject();
  out.Key("contents");
  out.StartObject();
  out.Key("kind");
  out.String("markdown");
  out.Key("value");
  write_text(out, *text);
  out.EndObject();
  out.EndObject();
}

void Server::document_symbol(const JsonValue* params, JsonWriter& out) {
  Document* document = document_of(params);
  CheckResult* result = document != nullptr ? fresh_result(*document) : nullptr;
  out.StartArray();
  if (result != nullptr) {
    const DocumentView view = view_of(*document);
    for (const Symbol& symbol : document_symbols(*result, view)) {
      write_symbol(out, symbol, view.lines, encoding_);
    }
  }
  out.EndArray();
}

}  // namespace taloq::lsp
