#pragma once

#include <string>
#include <string_view>

namespace taloq::lint {

enum class Level { kError, kWarning };

// One entry of the report: a line the checker printed (`rule` empty) or a
// finding of a rule.
struct Finding {
  std::string file;  // empty when it names no file
  int line = 0;      // 0 when it names no line
  Level level = Level::kWarning;
  std::string message;
  std::string_view rule;  // a name from the rules table; empty for the checker
  // The checker's lines exactly as the checker prints them (its text output
  // repeats them unchanged); empty for findings.
  std::string printed;
};

}  // namespace taloq::lint
