#pragma once

#include "analysis/assertions.h"

namespace taloq {

// The preconditions of the element utilities. Each one is reported under
// the file name "ktfutil" and the line it is documented with.
inline constexpr const char* kUtilFile = "ktfutil";
inline constexpr int kLineCompoundKind = 415;
inline constexpr int kLineTypeNameLink = 426;
inline constexpr int kLineTypeNameType = 496;
inline constexpr int kLineValueTypeNameLink = 507;
inline constexpr int kLineCardinality = 542;
inline constexpr int kLineTypeClass = 624;

// The report and the abort are those of the analysis passes' invariants.
inline void util_invariant(bool holds, const char* expression, int line) {
  if (!holds) invariant_failed(expression, kUtilFile, line);
}

}  // namespace taloq
