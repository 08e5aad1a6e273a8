#include "dump/body_index.h"

namespace taloq {

std::int64_t BodyIndex::number_of(const Element* body) {
  const auto next_number = static_cast<std::int64_t>(numbers_.size()) + 1;
  return numbers_.try_emplace(body, next_number).first->second;
}

}  // namespace taloq
