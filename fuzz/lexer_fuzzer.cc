// Fuzz target: the tokenizer alone, with the three readers chosen by the
// input itself, on any bytes.

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "driver/run_context.h"
#include "lex/char_stream.h"
#include "lex/tokenizer.h"
#include "source/parse_context.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  taloq::RunContext run;
  taloq::CharStream stream(text);
  taloq::ParseContext ctx;
  ctx.path = "fuzz.tlq";
  ctx.stream = &stream;
  ctx.run = &run;
  taloq::TokenText token_text;
  // Every reader consumes input or meets end of file, except a raw word at
  // ';' or ','; the bound below only guards the harness itself.
  for (std::size_t step = 0; step < 4 * size + 16; ++step) {
    taloq::Token token;
    switch (step % 3) {
      case 0: token = taloq::next_token(ctx, token_text); break;
      case 1: token = taloq::next_statement_token(ctx, token_text); break;
      default: token = taloq::read_raw_word(ctx, token_text); break;
    }
    if (token_text.size() > 130) __builtin_trap();
    if (token == taloq::TK_EOF) break;
  }
  return 0;
}
