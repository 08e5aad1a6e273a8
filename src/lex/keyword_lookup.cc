#include <cstdint>

#include "lex/token.h"

namespace taloq {
namespace {

constexpr std::size_t kSlots = 128;
constexpr std::size_t kLongestKeyword = 14;  // "unquoted-ascii"

// Every text is hashed once per token. The length with the first and the
// last character tell every keyword of two or more characters apart, and
// these weights put them in distinct slots (build_slots proves it), so a
// lookup is one slot and one comparison.
constexpr std::uint32_t hash_text(std::string_view text) {
  const auto byte = [](char c) { return static_cast<std::uint32_t>(static_cast<unsigned char>(c)); };
  return (byte(text.front()) * 4u + byte(text.back()) * 4u + static_cast<std::uint32_t>(text.size())) &
         (kSlots - 1);
}

struct Slots {
  std::array<int, kSlots> entry{};  // index into keyword_table, -1 for none
  bool perfect = true;
};

constexpr Slots build_slots() {
  Slots slots;
  for (int& entry : slots.entry) entry = -1;
  for (std::size_t i = 0; i < keyword_table.size(); ++i) {
    if (keyword_table[i].text.size() < 2) continue;
    int& entry = slots.entry[hash_text(keyword_table[i].text)];
    if (entry != -1) slots.perfect = false;
    entry = static_cast<int>(i);
  }
  return slots;
}

constexpr Slots kSlotTable = build_slots();
static_assert(kSlotTable.perfect, "two keywords share a slot: choose other weights in hash_text");

// The one-character entries by byte, 0 for none: punctuation is the most
// frequent text looked up and needs no hashing.
constexpr std::array<std::uint8_t, 256> kSingleCharTable = [] {
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
bool same_text(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    if (a[i] != b[i]) return false;
  }
  return true;
}

}  // namespace

std::optional<Token> lookup_keyword(std::string_view text) {
  if (text.size() == 1) {
    const std::uint8_t entry = kSingleCharTable[static_cast<unsigned char>(text[0])];
    if (entry == 0) return std::nullopt;
    return keyword_table[entry - 1u].token;
  }
  if (text.empty() || text.size() > kLongestKeyword) return std::nullopt;
  const int index = kSlotTable.entry[hash_text(text)];
  if (index == -1) return std::nullopt;
  const KeywordEntry& entry = keyword_table[static_cast<std::size_t>(index)];
  if (same_text(entry.text, text)) return entry.token;
  return std::nullopt;
}

}  // namespace taloq
