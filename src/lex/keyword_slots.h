#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "lex/token.h"

namespace taloq {

// The keyword lookup's tables, in a header so that the token reader's fast
// path can look a word up without a call: it does so for every token.
namespace keyword_slots {

inline constexpr std::size_t kSlots = 128;
inline constexpr std::size_t kLongestKeyword = 14;  // "unquoted-ascii"

// The length with the first and the last character tell every keyword of
// two or more characters apart, and these weights put them in distinct
// slots (build_slots proves it), so a lookup is one slot and one comparison.
constexpr std::uint32_t hash_text(std::string_view text) {
  const auto byte = [](char c) { return static_cast<std::uint32_t>(static_cast<unsigned char>(c)); };
  return (byte(text.front()) * 4u + byte(text.back()) * 4u + static_cast<std::uint32_t>(text.size())) &
         (kSlots - 1);
}

struct Slots {
  std::array<std::int8_t, kSlots> entry{};  // index into keyword_table, -1 for none
  bool perfect = true;
};

constexpr Slots build_slots() {
  Slots slots;
  for (std::int8_t& entry : slots.entry) entry = -1;
  for (std::size_t i = 0; i < keyword_table.size(); ++i) {
    if (keyword_table[i].text.size() < 2) continue;
    std::int8_t& entry = slots.entry[hash_text(keyword_table[i].text)];
    if (entry != -1) slots.perfect = false;
    entry = static_cast<std::int8_t>(i);
  }
  return slots;
}

inline constexpr Slots kSlotTable = build_slots();
static_assert(kSlotTable.perfect, "two keywords share a slot: choose other weights in hash_text");
static_assert(keyword_table.size() < 128, "table indices fit in a signed byte");

// The one-character entries by byte, 0 for none: punctuation is the most
// frequent text looked up and needs no hashing.
inline constexpr std::array<std::uint8_t, 256> kSingleCharTable = [] {
  std::array<std::uint8_t, 256> table{};
  for (std::size_t i = 0; i < keyword_table.size(); ++i) {
    if (keyword_table[i].text.size() == 1) {
      table[static_cast<unsigned char>(keyword_table[i].text[0])] =
          static_cast<std::uint8_t>(i + 1);
    }
  }
  return table;
}();

// Most texts looked up are names that differ from every keyword early, so
// an inline comparison beats a call to memcmp.
constexpr bool same_text(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace keyword_slots

// The keyword of two or more characters spelt `text`, or `otherwise`.
inline Token long_keyword_or(std::string_view text, Token otherwise) {
  using namespace keyword_slots;
  if (text.size() < 2 || text.size() > kLongestKeyword) return otherwise;
  const int index = kSlotTable.entry[hash_text(text)];
  if (index < 0) return otherwise;
  const KeywordEntry& entry = keyword_table[static_cast<std::size_t>(index)];
  return same_text(entry.text, text) ? entry.token : otherwise;
}

// The one-character keyword-table entry `c`, or `otherwise`.
inline Token single_char_keyword_or(unsigned char c, Token otherwise) {
  const std::uint8_t entry = keyword_slots::kSingleCharTable[c];
  return entry == 0 ? otherwise : keyword_table[entry - 1u].token;
}

// The keyword-table entry spelt `text`, or `otherwise`.
inline Token keyword_or(std::string_view text, Token otherwise) {
  if (text.size() == 1) return single_char_keyword_or(static_cast<unsigned char>(text[0]), otherwise);
  return long_keyword_or(text, otherwise);
}

}  // namespace taloq
