#include "lsp/stdio_loop.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <chrono>
#include <string>

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

}  // namespace

int serve(int input, int output) {
  bool client_gone = false;
  Server server([output, &client_gone](const std::string& body) {
    if (!client_gone && !write_all(output, frame(body))) client_gone = true;
  });
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
  }
  return server.exit_status();
}

}  // namespace taloq::lsp
