#pragma once

#include <cstdint>

namespace taloq {

// States of the block parser; each state but the last has one handler.
enum ParseState : std::int32_t {
  PS_STATEMENT = 0,
  PS_AFTER_TYPE = 1,
  PS_CONSTRAINT = 2,
  PS_NAME = 3,
  PS_AFTER_NAME = 4,
  PS_CARDINALITY = 5,
  PS_AFTER_CARDINALITY = 6,
  PS_TAG = 7,
  PS_AFTER_TAG = 8,
  PS_RECOVER = 9,
  PS_END_BLOCK = 10,
};

}  // namespace taloq
