#include "lex/numbers.h"

#include <string>

#include "driver/diagnostics.h"
#include "driver/front_end_notes.h"
#include "driver/run_context.h"
#include "lex/char_class.h"
#include "source/parse_context.h"

namespace taloq {
namespace {

constexpr std::uint64_t kMaxValue = 4294967295u;

int digit_value(char c) {
  if (is_digit(c)) return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return c - 'A' + 10;
}

// Digits of the given base from the start of `digits`, saturating.
std::uint64_t accumulate(std::string_view digits, int base) {
  std::uint64_t value = 0;
  for (char c : digits) {
    if (base == 16 ? !is_xdigit(c) : !is_digit(c)) break;
    value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit_value(c));
    if (value > kMaxValue) return kMaxValue;
  }
  return value;
}

}  // namespace

std::optional<std::uint32_t> convert_number(std::string_view text) {
  std::string_view rest = text;
  if (rest.starts_with('-')) rest.remove_prefix(1);
  if (rest.starts_with("0x")) return static_cast<std::uint32_t>(accumulate(rest.substr(2), 16));
  if (!rest.empty() && (rest.back() == 'b' || rest.back() == 'B')) {
    const std::uint64_t count = accumulate(rest.substr(0, rest.size() - 1), 10);
    if (count > 32) return std::nullopt;
    return static_cast<std::uint32_t>((std::uint64_t{1} << count) - 1);
  }
  return static_cast<std::uint32_t>(accumulate(rest, 10));
}

std::uint32_t to_number(ParseContext& ctx, std::string_view text) {
  if (const auto value = convert_number(text)) {
    // Written so, or larger and cut down to it: the linter tells them apart.
    if (*value == kMaxValue) note_number_at_maximum(ctx, text);
    return *value;
  }
  print_direct(*ctx.run, "ERROR: Unable to convert %s to numerical value\n",
               std::string(text).c_str());
  ++ctx.run->errors;
  ++ctx.errors;
  return static_cast<std::uint32_t>(kMaxValue);
}

std::int32_t to_signed_number(ParseContext& ctx, std::string_view text) {
  const std::uint32_t magnitude = to_number(ctx, text);
  return static_cast<std::int32_t>(text.starts_with('-') ? 0u - magnitude : magnitude);
}

}  // namespace taloq
