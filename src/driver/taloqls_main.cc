#include <cerrno>
#include <csignal>
#include <cstring>
#include <iostream>
#include <string_view>

#include <unistd.h>

#include "lsp/stdio_loop.h"

namespace {

constexpr std::string_view kUsage =
    "Usage: taloqls [--stdio]\n"
    "\n"
    "A language server for Taloq definitions: speaks the Language Server\n"
    "Protocol on standard input and output, and is started by an editor.\n"
    "\n"
    "Options:\n"
    "  --stdio     talk on standard input and output (the only way; accepted\n"
    "              because editors pass it)\n"
    "  --help, -?  print this help\n"
    "  --version   print the version\n";

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string_view arg = argv[i];
    if (arg == "--stdio") continue;
    if (arg == "--help" || arg == "-?") {
      std::cout << kUsage;
      return 0;
    }
    if (arg == "--version") {
      std::cout << "taloqls 0.9\n";
      return 0;
    }
    std::cerr << "taloqls: unknown option " << arg << "\n" << kUsage;
    return 2;
  }
  // Standard output carries the protocol: it gets a descriptor of its own,
  // and anything else written to standard output goes to standard error.
  const int protocol = ::dup(STDOUT_FILENO);
  if (protocol < 0 || ::dup2(STDERR_FILENO, STDOUT_FILENO) < 0) {
    std::cerr << "taloqls: cannot set up standard output: " << std::strerror(errno) << "\n";
    return 1;
  }
  // A client that goes away shows as a failed write, not as a signal.
  std::signal(SIGPIPE, SIG_IGN);
  const int status = taloq::lsp::serve(STDIN_FILENO, protocol);
  ::close(protocol);
  return status;
}
