#include "parse/element.h"

#include <cstring>
#include <new>

#include "driver/run_context.h"
#include "source/parse_context.h"

namespace taloq {

ElementCold& Element::cold_for_writing() {
  if (has_cold()) return ModelRegion::cold_at(base(), cold_);
  const std::int32_t count = ref_count();
  ElementCold& fields = *new (header().owner->new_cold_slot(cold_)) ElementCold();
  fields.ref_count = count;
  return fields;
}

Text Element::derived_type_name() const {
  const Text parent = element_at(type_name_ & ~kDerivedTypeName)->type_name();
  const Text own = c_name();
  const std::size_t parent_size = parent.size();
  const std::size_t own_size = own.size();
  std::uint32_t id = 0;
  char* chars = header().owner->new_text(parent_size + 1 + own_size + 1, id);
  std::memcpy(chars, parent.data(), parent_size);
  chars[parent_size] = '_';
  std::memcpy(chars + parent_size + 1, own.data(), own_size + 1);
  // Kept, so later reads (and the members deriving from this one) find it.
  const_cast<Element*>(this)->type_name_ = id;
  return text_at(id);
}

std::uint32_t Element::text_id(Text text) {
  if (text.is_null()) return kNullTextId;
  const char* chars = text.data();
  if (chars == kUnsetText) return kUnsetTextId;
  if (chars[0] == '\0') return kEmptyTextId;
  const auto at = reinterpret_cast<std::uintptr_t>(chars);
  const auto texts = reinterpret_cast<std::uintptr_t>(base() + ModelRegion::kTextsOffset);
  if (at >= texts && at < texts + ModelRegion::kTextBytes) {
    return static_cast<std::uint32_t>(at - texts);
  }
  // Characters from elsewhere (a literal, a back end's own string) may not
  // live as long as the model: the model keeps a copy.
  const std::size_t size = std::strlen(chars) + 1;
  std::uint32_t id = 0;
  std::memcpy(header().owner->new_text(size, id), chars, size);
  return id;
}

Text Element::c_name_apart() const {
  return mode(kCNameShift) == kOutOfLine ? text_at(cold().c_name) : mode_text(kCNameShift, 0);
}

Text Element::tag_apart() const {
  return mode(kTagShift) == kOutOfLine ? text_at(cold().tag) : mode_text(kTagShift, 0);
}

Text Element::mode_text(int shift, std::uint32_t out_of_line) const {
  switch (mode(shift)) {
    case kSameAsName:
      return name();
    case kUnset:
      return Text(kUnsetText);
    case kEmpty:
      return Text();
    case kOutOfLine:
      break;
  }
  return text_at(out_of_line);
}

void Element::set_mode_text(int shift, std::uint32_t ElementCold::*field, Text text) {
  const std::uint32_t id = text_id(text);
  if (id == name_) {
    set_mode(shift, kSameAsName);
  } else if (id == kUnsetTextId) {
    set_mode(shift, kUnset);
  } else if (id == kEmptyTextId) {
    set_mode(shift, kEmpty);
  } else {
    cold_for_writing().*field = id;
    set_mode(shift, kOutOfLine);
  }
}

void Element::set_name(Text text) {
  const std::uint32_t id = text_id(text);
  if (id == name_) return;
  // A c_name or tag that reads the name keeps the old name's text.
  const std::uint32_t old = name_;
  name_ = id;
  if (mode(kCNameShift) == kSameAsName) {
    set_mode_text(kCNameShift, &ElementCold::c_name, text_at(old));
  }
  if (mode(kTagShift) == kSameAsName) set_mode_text(kTagShift, &ElementCold::tag, text_at(old));
}

void Element::set_c_name(Text text) {
  set_mode_text(kCNameShift, &ElementCold::c_name, text);
}

void Element::set_tag(Text text) {
  set_mode_text(kTagShift, &ElementCold::tag, text);
}

void Element::set_const_text(Text text) {
  const std::uint32_t id = text_id(text);
  if (has_cold() || id != kEmptyTextId) cold_for_writing().const_text = id;
}

void Element::set_pattern(Text text) {
  const std::uint32_t id = text_id(text);
  if (has_cold() || id != kNullTextId) cold_for_writing().pattern = id;
}

void Element::set_next_type(Element* element) {
  const std::uint32_t index = index_of(element);
  if (has_cold() || index != 0) cold_for_writing().next_type = index;
}

void Element::set_extra(std::byte* room) {
  if (has_cold() || room != nullptr) cold_for_writing().extra = room;
}

void Element::set_mark(std::int32_t mark) {
  if (has_cold() || mark != 0) cold_for_writing().mark = mark;
}

void Element::set_ref_count(std::int32_t count) {
  if (has_cold() || count < 0) {
    cold_for_writing().ref_count = count;
  } else {
    cold_ = count == 0 ? 0 : kRefCountHere | static_cast<std::uint32_t>(count);
  }
}

void Element::set_cardinality(std::uint32_t min, std::int32_t max) {
  if (min <= kNibble && max >= -1 && max < static_cast<std::int32_t>(kNoUpperBound)) {
    const std::uint32_t upper = max == -1 ? kNoUpperBound : static_cast<std::uint32_t>(max);
    cardinality_ = static_cast<std::uint8_t>(min | upper << 4);
    set_flag(kCardinalityApart, false);
    return;
  }
  ElementCold& fields = cold_for_writing();
  fields.cardinality_min = min;
  fields.cardinality_max = max;
  set_flag(kCardinalityApart, true);
}

Element& ElementStore::emplace_back() {
  std::uint32_t index = 0;
  return *new (region_.new_element_slot(sizeof(Element), index)) Element();
}

Element& ElementStore::emplace_back(const Element& original) {
  std::uint32_t index = 0;
  Element& copy = *new (region_.new_element_slot(sizeof(Element), index)) Element(original);
  if (original.has_cold()) {
    new (region_.new_cold_slot(copy.cold_)) ElementCold(original.cold());
  }
  return copy;
}

Element& ElementStore::operator[](std::size_t i) const {
  return *reinterpret_cast<Element*>(region_.base() + ModelRegion::kElementsOffset +
                                     (i + 1) * sizeof(Element));
}

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
