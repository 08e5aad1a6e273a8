#pragma once

// ASCII character classes. Unlike <cctype> these never depend on the locale,
// take any int (end of file included) and put bytes 128-255 in no class.

namespace taloq {

constexpr bool is_space(int c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}
constexpr bool is_digit(int c) {
  return c >= '0' && c <= '9';
}
constexpr bool is_letter(int c) {
  return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}
constexpr bool is_alnum(int c) {
  return is_letter(c) || is_digit(c);
}
// What a word holds after its first character.
constexpr bool is_word_char(int c) {
  return is_alnum(c) || c == '.' || c == '_' || c == '-' || c == ':';
}
constexpr bool is_xdigit(int c) {
  return is_digit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F');
}

}  // namespace taloq
