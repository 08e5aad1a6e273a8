#pragma once

// The back end the whole-check fuzz target runs after a clean analysis: the
// JSON writer of taloqdump, so that it meets every model fuzzing can build.

#include "driver/checker.h"

namespace taloq_fuzz {

taloq::BackEnd back_end();

}  // namespace taloq_fuzz
