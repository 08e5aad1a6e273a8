#include "parse/element.h"

#include "driver/run_context.h"
#include "source/parse_context.h"

namespace taloq {

Element* create_element(ParseContext& ctx) {
  RunContext& run = *ctx.run;
  Element& element = run.element_store.emplace_back();
  element.line = ctx.line;
  element.module = ctx.module;
  if (ctx.brackets != nullptr && ctx.brackets->brackets_seen) {
    element.has_cardinality = true;
    element.cardinality_min = 0;
    element.cardinality_max = 1;
  }
  if (run.extra_bytes > 0) {
    auto& room = run.extra_store.emplace_back(
        std::make_unique<std::byte[]>(static_cast<std::size_t>(run.extra_bytes)));
    element.extra = room.get();
  }
  ++run.element_count;
  return &element;
}

}  // namespace taloq
