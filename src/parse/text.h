#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iosfwd>
#include <string>
#include <string_view>

namespace taloq {

// A text field of the element model: a NUL-terminated 8-bit string with
// value semantics that holds up to 23 characters without allocating. Names,
// tags and most type names of a definition fit, so building a model of a
// million elements costs few heap allocations; longer texts go to the heap.
class Text {
 public:
  static constexpr std::size_t kInlineCapacity = 23;

  Text() { set_inline_size(0); }
  Text(std::string_view text) : Text() { assign(text); }    // NOLINT: converts like std::string
  Text(const char* text) : Text(std::string_view(text)) {}  // NOLINT
  Text(const std::string& text) : Text(std::string_view(text)) {}  // NOLINT
  Text(const Text& other) : Text() { assign(other.view()); }
  Text(Text&& other) noexcept {
    std::memcpy(raw_, other.raw_, sizeof raw_);
    other.set_inline_size(0);
  }
  ~Text() { release(); }

  Text& operator=(const Text& other) { return assign(other.view()); }
  Text& operator=(Text&& other) noexcept {
    if (this != &other) {
      release();
      std::memcpy(raw_, other.raw_, sizeof raw_);
      other.set_inline_size(0);
    }
    return *this;
  }
  Text& operator=(std::string_view text) { return assign(text); }
  Text& operator=(const std::string& text) { return assign(text); }
  Text& operator=(const char* text) { return assign(std::string_view(text)); }

  // Replaces the content; `text` may point into this Text itself.
  Text& assign(std::string_view text);
  Text& operator+=(std::string_view text);
  Text& operator+=(char c) { return *this += std::string_view(&c, 1); }
  void clear() { assign({}); }

  const char* data() const { return on_heap() ? heap_pointer() : raw_; }
  const char* c_str() const { return data(); }
  std::size_t size() const { return on_heap() ? heap_field(kSizeOffset) : kInlineCapacity - tag(); }
  std::size_t length() const { return size(); }
  bool empty() const { return size() == 0; }
  char operator[](std::size_t i) const { return data()[i]; }
  char front() const { return data()[0]; }
  char back() const { return data()[size() - 1]; }

  std::string_view view() const { return {data(), size()}; }
  operator std::string_view() const { return view(); }  // NOLINT: reads like a string
  std::string str() const { return std::string(view()); }

  bool starts_with(std::string_view prefix) const { return view().starts_with(prefix); }
  bool starts_with(char c) const { return view().starts_with(c); }
  bool ends_with(std::string_view suffix) const { return view().ends_with(suffix); }
  std::size_t find(std::string_view what, std::size_t pos = 0) const {
    return view().find(what, pos);
  }
  std::size_t find(char c, std::size_t pos = 0) const { return view().find(c, pos); }
  std::size_t rfind(char c, std::size_t pos = std::string_view::npos) const {
    return view().rfind(c, pos);
  }
  std::string substr(std::size_t pos, std::size_t count = std::string_view::npos) const {
    return std::string(view().substr(pos, count));
  }

  friend bool operator==(const Text& a, const Text& b) { return a.view() == b.view(); }
  friend bool operator==(const Text& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const Text& a, const char* b) { return a.view() == b; }
  friend bool operator==(const Text& a, const std::string& b) { return a.view() == b; }
  friend std::string operator+(const Text& a, std::string_view b) {
    std::string out(a.view());
    return out.append(b);
  }
  friend std::string operator+(std::string_view a, const Text& b) {
    std::string out(a);
    return out.append(b.view());
  }
  friend std::string operator+(const Text& a, const char* b) { return a + std::string_view(b); }
  friend std::string operator+(const char* a, const Text& b) { return std::string_view(a) + b; }
  friend std::string operator+(const Text& a, char b) { return a + std::string_view(&b, 1); }

 private:
  // Layout of raw_: inline, the characters from raw_[0], a NUL after them,
  // and in raw_[23] the free room (23 - size), which is itself the NUL when
  // the text is full; on the heap, a pointer, the size and the capacity,
  // and kHeapTag in raw_[23].
  static constexpr unsigned char kHeapTag = 0x80;
  static constexpr std::size_t kSizeOffset = sizeof(char*);
  static constexpr std::size_t kCapacityOffset = sizeof(char*) + sizeof(std::uint32_t);

  unsigned char tag() const { return static_cast<unsigned char>(raw_[kInlineCapacity]); }
  bool on_heap() const { return tag() == kHeapTag; }
  char* heap_pointer() const {
    char* pointer;
    std::memcpy(&pointer, raw_, sizeof pointer);
    return pointer;
  }
  std::uint32_t heap_field(std::size_t offset) const {
    std::uint32_t value;
    std::memcpy(&value, raw_ + offset, sizeof value);
    return value;
  }
  void set_inline_size(std::size_t size) {
    raw_[size] = '\0';
    raw_[kInlineCapacity] = static_cast<char>(kInlineCapacity - size);
  }
  void set_heap(char* pointer, std::size_t size, std::size_t capacity);
  void release() {
    if (on_heap()) delete[] heap_pointer();
  }

  alignas(8) char raw_[kInlineCapacity + 1];
};

std::ostream& operator<<(std::ostream& out, const Text& text);

}  // namespace taloq
