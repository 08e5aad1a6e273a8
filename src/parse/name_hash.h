#pragma once

#include <cstdint>
#include <cstring>
#include <string_view>

namespace taloq {

// A hash for names, the texts the model interns and looks up by the
// hundred thousand: most are a few characters long, which this reads in at
// most two loads per eight bytes, without a call and without reading past
// the text. Every bit of the result depends on every byte, so tables may use
// its low bits.
inline std::uint32_t hash_name(std::string_view text) {
  constexpr std::uint64_t kMultiplier = 0x9E3779B97F4A7C15ull;
  const auto load32 = [](const char* at) {
    std::uint32_t word;
    std::memcpy(&word, at, sizeof word);
    return std::uint64_t{word};
  };
  const char* at = text.data();
  std::size_t left = text.size();
  std::uint64_t hash = kMultiplier ^ left;
  for (; left > 8; left -= 8, at += 8) {
    std::uint64_t word;
    std::memcpy(&word, at, sizeof word);
    hash = (hash ^ word) * kMultiplier;
    hash ^= hash >> 32;
  }
  // The last one to eight bytes: two overlapping four-byte loads, or the
  // first, middle and last byte of a shorter piece.
  std::uint64_t tail = 0;
  if (left >= 4) {
    tail = load32(at) | load32(at + left - 4) << 32;
  } else if (left > 0) {
    const auto byte = [&](std::size_t i) { return std::uint64_t{static_cast<unsigned char>(at[i])}; };
    tail = byte(0) | byte(left / 2) << 8 | byte(left - 1) << 16;
  }
  hash = (hash ^ tail) * kMultiplier;
  hash ^= hash >> 29;
  hash *= 0xBF58476D1CE4E5B9ull;
  hash ^= hash >> 32;
  return static_cast<std::uint32_t>(hash);
}

}  // namespace taloq
