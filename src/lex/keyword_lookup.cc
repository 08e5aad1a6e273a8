#include <cstdint>

#include "lex/token.h"

namespace taloq {
namespace {

constexpr std::size_t kSlots = 512;          // a power of two, ten times the 47 entries
constexpr std::size_t kLongestKeyword = 14;  // "unquoted-ascii"

// Every text is hashed once per token, so the hash looks at the length and
// three characters only, which already tells the keywords nearly apart;
// probing settles the rest.
constexpr std::uint32_t hash_text(std::string_view text) {
  const auto at = [&](std::size_t i) {
    return static_cast<std::uint32_t>(static_cast<unsigned char>(text[i]));
  };
  const std::size_t n = text.size();
  return at(0) * 31u + at(n / 2) * 7u + at(n - 1) * 3u + static_cast<std::uint32_t>(n) * 97u;
}

// Open addressing with linear probing; -1 marks an empty slot.
constexpr std::array<int, kSlots> build_slots() {
  std::array<int, kSlots> slots{};
  for (int& slot : slots) slot = -1;
  for (std::size_t i = 0; i < keyword_table.size(); ++i) {
    std::size_t at = hash_text(keyword_table[i].text) & (kSlots - 1);
    while (slots[at] != -1) at = (at + 1) & (kSlots - 1);
    slots[at] = static_cast<int>(i);
  }
  return slots;
}

constexpr std::array<int, kSlots> kSlotTable = build_slots();

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
  for (std::size_t at = hash_text(text) & (kSlots - 1); kSlotTable[at] != -1;
       at = (at + 1) & (kSlots - 1)) {
    const KeywordEntry& entry = keyword_table[static_cast<std::size_t>(kSlotTable[at])];
    if (same_text(entry.text, text)) return entry.token;
  }
  return std::nullopt;
}

}  // namespace taloq
