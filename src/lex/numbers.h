#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace taloq {

struct ParseContext;

// The magnitude of a number text as the tokenizer delivers it: a leading '-'
// is passed over; "0x" gives hexadecimal; a trailing 'b' or 'B' on a decimal
// text is a mask of that many low bits. Values saturate at 4294967295.
// Empty when a mask count exceeds 32.
std::optional<std::uint32_t> convert_number(std::string_view text);

// convert_number for the parser. A mask count above 32 prints
// "ERROR: Unable to convert %s to numerical value" and counts as an error of
// the module, so no analysis runs on unknown bounds; the value is then
// 4294967295.
std::uint32_t to_number(ParseContext& ctx, std::string_view text);
// to_number, negated (modulo 2^32) when the text begins with '-'.
std::int32_t to_signed_number(ParseContext& ctx, std::string_view text);

}  // namespace taloq
