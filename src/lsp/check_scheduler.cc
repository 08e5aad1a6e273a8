#include "lsp/check_scheduler.h"

namespace taloq::lsp {

void CheckScheduler::schedule(const std::string& key, Clock::time_point now) {
  due_.insert_or_assign(key, now + quiet_);
}

std::vector<std::string> CheckScheduler::take_due(Clock::time_point now) {
  std::vector<std::string> keys;
  for (auto it = due_.begin(); it != due_.end();) {
    if (it->second <= now) {
      keys.push_back(it->first);
      it = due_.erase(it);
    } else {
      ++it;
    }
  }
  return keys;
}

std::optional<CheckScheduler::Clock::time_point> CheckScheduler::next_due() const {
  std::optional<Clock::time_point> next;
  for (const auto& [key, due] : due_) {
    if (!next || due < *next) next = due;
  }
  return next;
}

}  // namespace taloq::lsp
