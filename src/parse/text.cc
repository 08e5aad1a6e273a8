#include "parse/text.h"

#include <ostream>

namespace taloq {

void Text::set_heap(char* pointer, std::size_t size, std::size_t capacity) {
  const auto size32 = static_cast<std::uint32_t>(size);
  const auto capacity32 = static_cast<std::uint32_t>(capacity);
  std::memcpy(raw_, &pointer, sizeof pointer);
  std::memcpy(raw_ + kSizeOffset, &size32, sizeof size32);
  std::memcpy(raw_ + kCapacityOffset, &capacity32, sizeof capacity32);
  raw_[kInlineCapacity] = static_cast<char>(kHeapTag);
}

Text& Text::assign(std::string_view text) {
  const std::size_t size = text.size();
  if (size == 0) text = "";  // an empty view may hold a null pointer
  if (on_heap() && size <= heap_field(kCapacityOffset)) {
    char* pointer = heap_pointer();
    std::memmove(pointer, text.data(), size);
    pointer[size] = '\0';
    set_heap(pointer, size, heap_field(kCapacityOffset));
    return *this;
  }
  if (size <= kInlineCapacity) {
    char* old = on_heap() ? heap_pointer() : nullptr;
    std::memmove(raw_, text.data(), size);  // copies before the old storage goes
    set_inline_size(size);
    delete[] old;
    return *this;
  }
  char* pointer = new char[size + 1];
  std::memcpy(pointer, text.data(), size);
  pointer[size] = '\0';
  release();
  set_heap(pointer, size, size);
  return *this;
}

Text& Text::operator+=(std::string_view text) {
  std::string joined(view());
  joined.append(text);
  return assign(joined);
}

std::ostream& operator<<(std::ostream& out, const Text& text) {
  return out << text.view();
}

}  // namespace taloq
