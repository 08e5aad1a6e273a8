#include "backend_utils/name_value.h"

#include <cstring>
#include <new>

#include "driver/diagnostics.h"

namespace taloq {
namespace {

std::unique_ptr<char[]> copy_text(const char* text) {
  const std::size_t size = std::strlen(text) + 1;
  auto copy = std::make_unique<char[]>(size);
  std::memcpy(copy.get(), text, size);
  return copy;
}

void append_entry(NameValueList& list, const char* text, std::int32_t value, bool copy) {
  NameValue entry;
  entry.value = value;
  if (copy) {
    entry.own_text = copy_text(text);
    entry.text = entry.own_text.get();
  } else {
    entry.text = text;
  }
  list.push_back(std::move(entry));
}

}  // namespace

int append_name_value(RunContext& run, NameValueList& list, const char* text, std::int32_t value,
                      int copy) {
  if (text == nullptr) report_out_of_memory(run);
  try {
    append_entry(list, text, value, copy != 0);
  } catch (const std::bad_alloc&) {
    report_out_of_memory(run);
  }
  return 1;
}

}  // namespace taloq
