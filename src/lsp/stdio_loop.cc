#include "lsp/stdio_loop.h"

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <stop_token>
#include <string>
#include <thread>

#include "lsp/framing.h"
#include "lsp/server.h"

namespace taloq::lsp {
namespace {

// Writes all of `bytes`; false once the client has gone.
bool write_all(int output, const std::string& bytes) {
  std::size_t written = 0;
  while (written < bytes.size()) {
    const ssize_t n = ::write(output, bytes.data() + written, bytes.size() - written);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    written += static_cast<std::size_t>(n);
  }
  return true;
}

// Ends the process once the client that started it is gone: the parent
// changed (it died and the server was handed to another process), or the
// process the client named in initialize no longer exists. A server that
// is busy in a long check, or whose input another process still holds
// open, would otherwise outlive its editor. It looks once a second from a
// thread of its own, so it acts whatever the main loop is doing.
class ClientWatch {
 public:
  ClientWatch() : parent_(::getppid()), thread_([this](std::stop_token stop) { watch(stop); }) {}

  void watch_process(int pid) { client_.store(pid); }

 private:
  void watch(std::stop_token stop) {
    std::mutex mutex;
    std::condition_variable_any wake;
    std::unique_lock lock(mutex);
    while (!stop.stop_requested()) {
      // Woken early only by the stop request.
      wake.wait_for(lock, stop, std::chrono::seconds(1), [] { return false; });
      // The status of an exit without shutdown; nobody is left to tell.
      if (!stop.stop_requested() && client_gone()) ::_exit(1);
    }
  }
  bool client_gone() const {
    if (::getppid() != parent_) return true;
    const int pid = client_.load();
    return pid > 0 && ::kill(pid, 0) != 0 && errno == ESRCH;
  }

  const pid_t parent_;
  std::atomic<int> client_{0};
  std::jthread thread_;  // last: it starts once the rest is set
};

}  // namespace

int serve(int input, int output) {
  bool client_gone = false;
  Server server([output, &client_gone](const std::string& body) {
    if (!client_gone && !write_all(output, frame(body))) client_gone = true;
  });
  ClientWatch watch;
  FrameReader reader;
  std::array<char, 64 * 1024> buffer{};
  while (!server.exited() && !client_gone) {
    server.run_due_checks(Server::Clock::now());
    int timeout = -1;
    if (const auto next = server.next_check()) {
      const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - Server::Clock::now());
      timeout = static_cast<int>(std::clamp<std::chrono::milliseconds::rep>(wait.count(), 0, 60000));
    }
    pollfd descriptor{input, POLLIN, 0};
    const int ready = ::poll(&descriptor, 1, timeout);
    if (ready < 0) {
      if (errno == EINTR) continue;
      break;
    }
    if (ready == 0) continue;  // a check is due
    const ssize_t n = ::read(input, buffer.data(), buffer.size());
    if (n < 0) {
      if (errno == EINTR || errno == EAGAIN) continue;
      break;
    }
    if (n == 0) break;  // the client closed the input without exit
    reader.feed(std::string_view(buffer.data(), static_cast<std::size_t>(n)));
    while (!server.exited()) {
      const std::optional<std::string> body = reader.next();
      if (!body) break;
      server.handle(*body, Server::Clock::now());
    }
    if (const auto client = server.client_process()) watch.watch_process(*client);
  }
  return server.exit_status();
}

}  // namespace taloq::lsp
