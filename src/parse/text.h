#pragma once

#include <cstddef>
#include <cstring>
#include <iosfwd>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace taloq {

// A text field of the element model: a NUL-terminated 8-bit string that the
// field borrows. A Text is one pointer, so copying it is free and a model of
// a million elements stays small; the characters come from a literal or from
// the TextPool of the run, which keeps them as long as the model lives.
// A Text may also be null, which reads as an empty text and is how the
// model says "absent" (a pattern that was never given).
class Text {
 public:
  constexpr Text() = default;
  // Borrows a string literal (or another array that outlives the Text).
  template <std::size_t N>
  constexpr Text(const char (&literal)[N]) : chars_(literal) {}  // NOLINT: reads like a string
  // Borrows NUL-terminated characters that outlive the Text.
  static constexpr Text borrow(const char* chars) {
    Text text;
    text.chars_ = chars;
    return text;
  }
  // Only a named Text can be assigned, so that an accessor's result is never
  // assigned to by mistake (it would change nothing).
  constexpr Text(const Text&) = default;
  constexpr Text& operator=(const Text&) & = default;

  static constexpr Text null() {
    Text text;
    text.chars_ = nullptr;
    return text;
  }

  bool is_null() const { return chars_ == nullptr; }
  const char* data() const { return chars_ != nullptr ? chars_ : ""; }
  const char* c_str() const { return data(); }
  std::size_t size() const { return std::strlen(data()); }
  std::size_t length() const { return size(); }
  bool empty() const { return data()[0] == '\0'; }
  char operator[](std::size_t i) const { return data()[i]; }
  char front() const { return data()[0]; }
  char back() const { return data()[size() - 1]; }

  std::string_view view() const { return data(); }
  operator std::string_view() const { return view(); }  // NOLINT: reads like a string
  std::string str() const { return std::string(view()); }

  bool starts_with(std::string_view prefix) const { return view().starts_with(prefix); }
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
  // True when both borrow the very same characters (a cheap equality test
  // for texts that were copied from one another).
  bool same_storage(const Text& other) const { return chars_ == other.chars_; }

  friend bool operator==(const Text& a, const Text& b) {
    return a.chars_ == b.chars_ || std::strcmp(a.data(), b.data()) == 0;
  }
  friend bool operator==(const Text& a, std::string_view b) { return a.view() == b; }
  friend bool operator==(const Text& a, const char* b) { return std::strcmp(a.data(), b) == 0; }
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
  const char* chars_ = "";
};

std::ostream& operator<<(std::ostream& out, const Text& text);

// Storage for the texts of one model: characters are copied into large
// blocks and stay where they are until the pool goes, so a Text made here is
// valid for the pool's whole life. Nothing is freed one by one.
class ModelRegion;

class TextPool {
 public:
  TextPool() = default;
  // A pool whose characters stand in the text area of `region`, where the
  // elements of the same region refer to them by handle.
  explicit TextPool(ModelRegion* region) : region_(region) {}
  TextPool(const TextPool&) = delete;
  TextPool& operator=(const TextPool&) = delete;
  TextPool(TextPool&&) = default;
  TextPool& operator=(TextPool&&) = default;

  // A Text with a copy of `text`, NUL-terminated. An empty text takes no
  // room, and in a region's pool equal texts share one copy.
  Text keep(std::string_view text);
  // A Text with `first`, `second` and `third` one after the other.
  Text join(std::string_view first, std::string_view second, std::string_view third = {});
  // Equal texts kept from here on get copies of their own (see
  // ModelRegion::stop_interning).
  void stop_interning();

 private:
  char* room_for(std::size_t size);

  ModelRegion* region_ = nullptr;
  std::vector<std::unique_ptr<char[]>> blocks_;
  char* next_ = nullptr;
  std::size_t left_ = 0;
};

}  // namespace taloq
