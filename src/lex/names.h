#pragma once

#include <string>
#include <string_view>

namespace taloq {

// What the name rule needs to know of a text, in one pass: whether it is an
// identifier, and whether to_identifier would change it (an identifier can
// only hold '-' of the characters it replaces).
enum class IdentifierShape { kNotIdentifier, kIdentifier, kIdentifierWithDash };
IdentifierShape identifier_shape(std::string_view text);
// A letter, then letters, digits, '-' and '_'.
inline bool is_identifier(std::string_view text) {
  return identifier_shape(text) != IdentifierShape::kNotIdentifier;
}
// The characters to_identifier replaces.
inline constexpr std::string_view kNonIdentifierChars = "-.:";
// Replaces every '-', '.' and ':' by '_', in place.
void to_identifier(std::string& text);
// A tag after "as": not empty, no digit and none of =,"'{}()[- first, and
// none of =}), later.
bool is_tag(std::string_view text);
// The text of a constant between '<' and '>'.
bool is_const_expression(std::string_view text);
// '+' or a letter, then letters, digits, '-', '_' and '.'.
bool is_module_name(std::string_view text);
// A type name, or a module name, "::" and a type name.
bool is_reference_name(std::string_view text);

}  // namespace taloq
