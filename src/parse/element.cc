#include "parse/element.h"

#include "driver/run_context.h"
#include "source/parse_context.h"

namespace taloq {

Element* create_element(ParseContext& ctx) {
  RunContext& run = *ctx.run;
  Element& element = run.element_store.emplace_back();
  element.set_line(ctx.line);
  element.set_module(ctx.module);
  element.set_source(ctx.module);
  if (ctx.brackets != nullptr && ctx.brackets->brackets_seen) {
    element.set_has_cardinality(true);
    element.set_cardinality_min(0);
    element.set_cardinality_max(1);
  }
  if (run.extra_bytes > 0) {
    auto& room = run.extra_store.emplace_back(
        std::make_unique<std::byte[]>(static_cast<std::size_t>(run.extra_bytes)));
    element.set_extra(room.get());
  }
  ++run.element_count;
  return &element;
}

void for_each_combined_member_fault(const Element& member,
                                    const std::function<void(const char* format)>& fault) {
  const std::int32_t type = member.type();
  if (type != ET_INTEGER && type != ET_CONST && type != ET_UNQUOTED_ASCII) {
    fault("Type of %s not allowed in constructed type");
  }
  if (type == ET_CONST && !member.const_text().empty() && member.const_text()[0] >= '0' &&
      member.const_text()[0] <= '9') {
    fault("Const '%s' must begin with non-numerical value in constructed type");
  }
  if (type == ET_UNQUOTED_ASCII && (!member.constrained() || member.min() != member.max())) {
    fault("unquoted ascii '%s' must have a fixed length");
  }
}

}  // namespace taloq
