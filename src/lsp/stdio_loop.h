#pragma once

namespace taloq::lsp {

// Serves the protocol on two file descriptors until the client sends exit
// or closes the input. Pending checks wait in poll()'s timeout, so one
// thread does all the work; a second one only watches that the client
// lives, and ends the process with status 1 once the parent process or the
// process named in initialize is gone. Returns the exit status.
int serve(int input, int output);

}  // namespace taloq::lsp
