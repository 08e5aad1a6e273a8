#pragma once

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace taloq::lsp {

// When each run is to be checked: a change asks for a check once the
// document has been quiet for a while, so that typing checks once at the end
// and not at every key; a newer change of the same run moves its check on.
// The times are given by the caller, which keeps this free of clocks.
class CheckScheduler {
 public:
  using Clock = std::chrono::steady_clock;
  static constexpr std::chrono::milliseconds kQuiet{200};

  explicit CheckScheduler(std::chrono::milliseconds quiet = kQuiet) : quiet_(quiet) {}

  // (Re)starts the run's quiet period at `now`.
  void schedule(const std::string& key, Clock::time_point now);
  void cancel(const std::string& key) { due_.erase(key); }
  bool pending(const std::string& key) const { return due_.contains(key); }
  // The runs whose quiet period has ended by `now`, no longer pending.
  std::vector<std::string> take_due(Clock::time_point now);
  // When the next pending check is due.
  std::optional<Clock::time_point> next_due() const;

 private:
  std::chrono::milliseconds quiet_;
  std::map<std::string, Clock::time_point> due_;
};

}  // namespace taloq::lsp
