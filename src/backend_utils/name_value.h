#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace taloq {

struct RunContext;

// One entry of a name/value list. `text` is either the caller's text, which
// must outlive the list, or the entry's own copy of it.
struct NameValue {
  const char* text = nullptr;
  std::int32_t value = 0;
  // Holds the copy when the entry was appended with `copy` set; the text
  // stays at the same address when the list grows.
  std::unique_ptr<char[]> own_text;
};

// A name/value list in insertion order; an empty list has no entries.
using NameValueList = std::vector<NameValue>;

// Appends (text, value) at the end of the list. With `copy` non-zero the
// entry keeps its own copy of the text, otherwise the caller's pointer. A
// null text, or memory that cannot be had, is the fatal "Unable to allocate
// memory". Returns 1.
int append_name_value(RunContext& run, NameValueList& list, const char* text, std::int32_t value,
                      int copy);

}  // namespace taloq
