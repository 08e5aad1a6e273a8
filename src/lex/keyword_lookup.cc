#include "lex/keyword_slots.h"

namespace taloq {

std::optional<Token> lookup_keyword(std::string_view text) {
  // TK_EOF is never a text's code, so it stands for "none" here.
  const Token token = keyword_or(text, TK_EOF);
  if (token == TK_EOF) return std::nullopt;
  return token;
}

}  // namespace taloq
