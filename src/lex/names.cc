#include "lex/names.h"

#include "lex/char_class.h"

namespace taloq {
namespace {

int at(std::string_view text, std::size_t i) {
  return i < text.size() ? static_cast<unsigned char>(text[i]) : 0;
}

bool contains(std::string_view set, int c) {
  return c != 0 && set.find(static_cast<char>(c)) != std::string_view::npos;
}

// True when no character after the first is one of "=}),".
bool rest_is_free_of_closers(std::string_view text) {
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (contains("=}),", at(text, i))) return false;
  }
  return true;
}

constexpr bool is_module_char(int c) {
  return is_alnum(c) || c == '-' || c == '_' || c == '.';
}

}  // namespace

IdentifierShape identifier_shape(std::string_view text) {
  if (text.empty() || !is_letter(at(text, 0))) return IdentifierShape::kNotIdentifier;
  bool dash = false;
  for (std::size_t i = 1; i < text.size(); ++i) {
    const int c = at(text, i);
    if (c == '-') {
      dash = true;
    } else if (!is_alnum(c) && c != '_') {
      return IdentifierShape::kNotIdentifier;
    }
  }
  return dash ? IdentifierShape::kIdentifierWithDash : IdentifierShape::kIdentifier;
}

void to_identifier(std::string& text) {
  for (char& c : text) {
    if (kNonIdentifierChars.find(c) != std::string_view::npos) c = '_';
  }
}

bool is_tag(std::string_view text) {
  if (text.empty() || contains("=,\"'{}()[-", at(text, 0)) || is_digit(at(text, 0))) {
    return false;
  }
  return rest_is_free_of_closers(text);
}

bool is_const_expression(std::string_view text) {
  if (text.starts_with("//") || text.starts_with("/*")) return false;
  if (text.empty() || contains("=,\"'{}()[", at(text, 0))) return false;
  return rest_is_free_of_closers(text);
}

bool is_module_name(std::string_view text) {
  if (text.empty() || (at(text, 0) != '+' && !is_letter(at(text, 0)))) return false;
  for (std::size_t i = 1; i < text.size(); ++i) {
    if (!is_module_char(at(text, i))) return false;
  }
  return true;
}

bool is_reference_name(std::string_view text) {
  if (text.empty() || (at(text, 0) != '+' && !is_letter(at(text, 0)))) return false;
  std::size_t i = 1;
  bool dot_seen = false;
  for (; i < text.size() && text[i] != ':'; ++i) {
    if (!is_module_char(at(text, i))) return false;
    if (text[i] == '.') dot_seen = true;
  }
  if (i == text.size()) return !dot_seen;
  if (at(text, i + 1) != ':') return false;
  i += 2;
  if (!is_letter(at(text, i))) return false;
  for (++i; i < text.size() && text[i] != ':'; ++i) {
    if (!is_module_char(at(text, i))) return false;
  }
  return true;
}

}  // namespace taloq
