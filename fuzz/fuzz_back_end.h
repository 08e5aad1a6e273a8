#pragma once

// The back end the whole-check fuzz target runs after a clean analysis.

#include "driver/checker.h"

namespace taloq_fuzz {

taloq::BackEnd back_end();

}  // namespace taloq_fuzz
