#pragma once

#include <chrono>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "lsp/check_run.h"
#include "lsp/check_scheduler.h"
#include "lsp/json.h"
#include "lsp/navigation.h"
#include "lsp/text_lines.h"

namespace taloq::lsp {

// Error codes of JSON-RPC and of the protocol.
enum ErrorCode : int {
  kParseError = -32700,
  kInvalidRequest = -32600,
  kMethodNotFound = -32601,
  kInvalidParams = -32602,
  kInternalError = -32603,
  kServerNotInitialized = -32002,
};

// The language server without its input and output: it takes one message
// body at a time and hands every message it sends to `send`, so that the
// whole protocol can be driven in memory. Checks run on the caller's
// thread, from run_due_checks() or when a request needs a fresh model.
class Server {
 public:
  using Clock = CheckScheduler::Clock;
  using Send = std::function<void(const std::string& body)>;

  explicit Server(Send send);
  Server(const Server&) = delete;
  Server& operator=(const Server&) = delete;
  ~Server();

  // Handles one message; a body that is no message is answered with the
  // error it deserves and never ends the server.
  void handle(std::string_view body, Clock::time_point now);
  // Runs the checks whose quiet period is over.
  void run_due_checks(Clock::time_point now);
  std::optional<Clock::time_point> next_check() const { return scheduler_.next_due(); }

  bool exited() const { return exited_; }
  // The process id the client gave in initialize (it asks the server to end
  // once that process is gone); none when it gave none.
  std::optional<int> client_process() const { return client_process_; }
  // The status to end with: 0 after shutdown and exit, 1 for an exit (or
  // the end of the input) without shutdown.
  int exit_status() const { return shut_down_ ? 0 : 1; }

 private:
  struct Document;
  using Reply = std::function<void(JsonWriter& out)>;

  void dispatch(std::string_view method, const JsonValue* id, const JsonValue* params,
                Clock::time_point now);
  void request(std::string_view method, const JsonValue& id, const JsonValue* params);
  void notification(std::string_view method, const JsonValue* params, Clock::time_point now);
  // One message to the client: the protocol version, then what `fields`
  // writes into the same object.
  void send_message(const Reply& fields);
  void respond(const JsonValue& id, const Reply& result);
  void respond_error(const JsonValue* id, int code, std::string_view message);

  void initialize(const JsonValue* params, JsonWriter& out);
  void initialized();
  void did_open(const JsonValue* params, Clock::time_point now);
  void did_change(const JsonValue* params, Clock::time_point now);
  void did_save(const JsonValue* params, Clock::time_point now);
  void did_close(const JsonValue* params, Clock::time_point now);
  void did_change_watched_files(const JsonValue* params, Clock::time_point now);
  void definition(const JsonValue* params, JsonWriter& out);
  void hover(const JsonValue* params, JsonWriter& out);
  void document_symbol(const JsonValue* params, JsonWriter& out);

  // The open document a request names, or none.
  Document* document_of(const JsonValue* params);
  std::string path_of_uri(std::string_view uri) const;
  std::string uri_of(const std::string& path) const;
  // Puts the document in the run its plan names now, and asks for a check.
  void plan_document(Document& document, Clock::time_point now);
  void replan_all(Clock::time_point now);
  // Gives up a run no open document belongs to any more: its diagnostics
  // are cleared.
  void drop_run_if_unused(const std::string& key);
  // The check of a document's run, made now if it is pending or missing,
  // so that positions in the editor's text match the model.
  CheckResult* fresh_result(const Document& document);
  void check(const std::string& key);
  void publish(const std::string& key, const CheckResult& result);
  void publish_file(const std::string& path, const std::vector<const Problem*>& problems,
                    const CheckResult* result);
  std::optional<std::string_view> text_of(const std::string& path, const CheckResult* result,
                                          std::map<std::string, std::string>& read);
  // The byte offset of a request's position in the document.
  std::optional<std::size_t> offset_of(Document& document, const JsonValue* params);
  DocumentView view_of(Document& document);
  void write_place(JsonWriter& out, const Place& place, const CheckResult& result);

  void send_notification(const char* method, const Reply& params);

  Send send_;
  bool initialized_ = false;
  bool shut_down_ = false;
  bool exited_ = false;
  bool register_watchers_ = false;
  Encoding encoding_ = Encoding::kUtf16;
  std::optional<int> client_process_;
  std::vector<std::string> roots_;
  int next_request_id_ = 1;

  std::unordered_map<std::string, std::unique_ptr<Document>> documents_;  // by absolute path
  std::map<std::string, RunPlan> plans_;                                 // by run key
  std::map<std::string, std::unique_ptr<CheckResult>> results_;
  // The files each run published diagnostics for last, to clear them.
  std::map<std::string, std::set<std::string>> published_;
  // The document whose change asked for a run's check: problems that name
  // no file are shown there.
  std::map<std::string, std::string> trigger_;
  CheckScheduler scheduler_;
};

}  // namespace taloq::lsp
