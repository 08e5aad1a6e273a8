#pragma once

namespace taloq::lsp {

// Serves the protocol on two file descriptors until the client sends exit
// or closes the input. Pending checks wait in poll()'s timeout, so one
// thread does everything and nothing is left running at the end. Returns
// the exit status.
int serve(int input, int output);

}  // namespace taloq::lsp
