#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace taloq::lint {

// The number of single-character insertions, deletions and substitutions
// that turn `a` into `b` (Levenshtein), counting no further than `limit + 1`.
std::size_t edit_distance(std::string_view a, std::string_view b, std::size_t limit);

// The candidate nearest to `wanted` within two edits, the earliest of equal
// ones; never `wanted` itself, nor a name that shares no character with it
// in place. A typo is usually a letter or two off; a name further away is
// more likely another thing than the one meant.
std::optional<std::string> nearest_name(std::string_view wanted,
                                        const std::vector<std::string>& candidates);

// "; did you mean X?" for the nearest candidate, or nothing.
std::string did_you_mean(std::string_view wanted, const std::vector<std::string>& candidates);

}  // namespace taloq::lint
