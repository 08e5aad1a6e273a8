#include "lint/nearest_name.h"

#include <algorithm>

namespace taloq::lint {

namespace {
constexpr std::size_t kMaxSuggestionDistance = 2;
}  // namespace

std::size_t edit_distance(std::string_view a, std::string_view b, std::size_t limit) {
  const std::size_t gap = a.size() > b.size() ? a.size() - b.size() : b.size() - a.size();
  if (gap > limit) return limit + 1;
  // One row of the classic table at a time; a row whose every cell is over
  // the limit cannot lead to a smaller distance.
  std::vector<std::size_t> row(b.size() + 1);
  for (std::size_t j = 0; j <= b.size(); ++j) row[j] = j;
  for (std::size_t i = 1; i <= a.size(); ++i) {
    std::size_t diagonal = row[0];
    row[0] = i;
    std::size_t smallest = row[0];
    for (std::size_t j = 1; j <= b.size(); ++j) {
      const std::size_t above = row[j];
      const std::size_t substitution = diagonal + (a[i - 1] == b[j - 1] ? 0 : 1);
      row[j] = std::min({above + 1, row[j - 1] + 1, substitution});
      diagonal = above;
      smallest = std::min(smallest, row[j]);
    }
    if (smallest > limit) return limit + 1;
  }
  return std::min(row[b.size()], limit + 1);
}

std::optional<std::string> nearest_name(std::string_view wanted,
                                        const std::vector<std::string>& candidates) {
  std::optional<std::string> best;
  std::size_t best_distance = kMaxSuggestionDistance + 1;
  for (const std::string& candidate : candidates) {
    if (candidate == wanted) continue;
    const std::size_t distance = edit_distance(wanted, candidate, kMaxSuggestionDistance);
    // A name in which every character is replaced ("M" for "R") is another
    // name, not a typo of this one.
    if (distance >= std::max(wanted.size(), candidate.size())) continue;
    if (distance < best_distance) {
      best_distance = distance;
      best = candidate;
    }
  }
  return best;
}

std::string did_you_mean(std::string_view wanted, const std::vector<std::string>& candidates) {
  const std::optional<std::string> nearest = nearest_name(wanted, candidates);
  return nearest ? "; did you mean " + *nearest + "?" : std::string();
}

}  // namespace taloq::lint
