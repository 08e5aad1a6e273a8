#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

namespace taloq {

// Token codes: 0 to 46 for the texts of the keyword table, then the codes
// given by the kind of text.
enum Token : int {
#define TALOQ_TOKEN(code, text) code,
#include "lex/token_table.def"
#undef TALOQ_TOKEN
  TK_NUMBER,
  TK_WORD,
  TK_EOF,
};

// The text of one token as a reader delivered it (at most 130 characters).
// Most tokens are taken whole from the source buffer and only viewed there,
// which outlives every token read from it; the character-by-character
// reader, which folds "\r\n" and reads comments as blanks, builds its own
// copy. Either way the text stays valid until the next read into it.
class TokenText {
 public:
  TokenText() = default;
  TokenText(std::string_view text) : own_(text) {}  // NOLINT: a literal stands in for a read
  TokenText(const char* text) : own_(text) {}       // NOLINT

  std::string_view view() const { return borrowed_ ? std::string_view(data_, size_) : own_; }
  operator std::string_view() const { return view(); }  // NOLINT: used wherever a text is
  std::string str() const { return std::string(view()); }
  // NUL-terminated, for messages; a borrowed text is copied first.
  const char* c_str() const {
    if (borrowed_) own_.assign(data_, size_);
    return own_.c_str();
  }
  std::size_t size() const { return view().size(); }
  bool empty() const { return size() == 0; }
  char operator[](std::size_t i) const { return view()[i]; }
  bool starts_with(char c) const { return view().starts_with(c); }
  friend bool operator==(const TokenText& a, std::string_view b) { return a.view() == b; }

  // The reader's side: a view into the buffer, or an empty text of its own
  // that the character reader then appends to.
  void borrow(const char* data, std::size_t size) {
    data_ = data;
    size_ = size;
    borrowed_ = true;
  }
  std::string& rebuild() {
    borrowed_ = false;
    own_.clear();
    return own_;
  }

 private:
  const char* data_ = nullptr;
  std::size_t size_ = 0;
  bool borrowed_ = false;
  mutable std::string own_;  // also the copy c_str() makes of a borrowed text
};

struct KeywordEntry {
  std::string_view text;
  Token token;
};

inline constexpr std::array<KeywordEntry, 47> keyword_table = {{
#define TALOQ_TOKEN(code, text) {text, code},
#include "lex/token_table.def"
#undef TALOQ_TOKEN
}};

// The keyword-table token whose text is exactly `text`, if any. A hash
// lookup: the cost does not grow with the table.
std::optional<Token> lookup_keyword(std::string_view text);

}  // namespace taloq
