#pragma once

#include <string>
#include <string_view>

namespace taloq {

// Appends 8-bit text as UTF-8: every byte stands for the Unicode character
// of the same number, so bytes 128 to 255 become two-byte sequences and
// any input gives valid UTF-8.
void append_latin1_as_utf8(std::string& out, std::string_view text);

}  // namespace taloq
