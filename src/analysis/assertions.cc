#include "analysis/assertions.h"

#include <cstdio>
#include <cstdlib>
#include <iostream>

namespace taloq {

void invariant_failed(const char* expression, const char* file, int line) {
  // What the run printed so far belongs before the message.
  std::cout.flush();
  std::fprintf(stderr, "Assertion failed: %s, file %s, line %d\n", expression, file, line);
  std::fflush(stderr);
  std::abort();
}

}  // namespace taloq
