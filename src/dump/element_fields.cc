#include "dump/element_fields.h"

#include <array>

#include "dump/json_output.h"
#include "parse/element.h"

namespace taloq {
namespace {

constexpr std::array<const char*, ET_LINK + 1> kTypeNames = {
    "struct", "union", "combined", "null",           "boolean",  "integer", "float",
    "double", "oid",   "ascii",    "unquoted_ascii", "unicode",  "bytes",   "const",
    "ipv4",   "ipv6",  "date",     "time",           "embedded", "link"};

void write_texts(JsonOutput& json, const Element& element) {
  json.member_text("name", element.name());
  json.member_text("c_name", element.c_name());
  json.member_text("tag", element.tag());
  json.member_text("link", element.link());
  json.member_text("type_name", element.type_name());
  json.member_text("const_text", element.const_text());
  json.member_optional_text("pattern", element.pattern());
}

void write_type(JsonMembers& members, const Element& element) {
  const char* name = type_code_name(element.type());
  if (name != nullptr) {
    members.plain_text("type", name);
  } else {
    members.null("type");
  }
}

void write_numbers(JsonMembers& members, const Element& element) {
  members.integer("line", element.line());
  members.integer("value", element.value());
  members.integer("min", element.min());
  members.integer("max", element.max());
  members.integer("cardinality_min", element.cardinality_min());
  members.integer("cardinality_max", element.cardinality_max());
  members.integer("ref_count", element.ref_count());
}

void write_flags(JsonMembers& members, const Element& element) {
  members.boolean("constrained", element.constrained());
  members.boolean("min_negative", element.min_negative());
  members.boolean("max_negative", element.max_negative());
  members.boolean("has_cardinality", element.has_cardinality());
  members.boolean("z_flag", element.z_flag());
  members.boolean("is_plugin", element.is_plugin());
  members.boolean("top_level", element.top_level());
  members.boolean("list", element.list());
  members.boolean("dynamic", element.dynamic());
  members.boolean("recursive", element.recursive());
  members.boolean("is_copy", element.is_copy());
}

}  // namespace

const char* type_code_name(std::int32_t type) {
  if (type < 0 || type > ET_LINK) return nullptr;
  return kTypeNames[static_cast<std::size_t>(type)];
}

void write_element_fields(JsonOutput& json, const Element& element) {
  write_texts(json, element);
  JsonMembers members;
  write_type(members, element);
  write_numbers(members, element);
  write_flags(members, element);
  json.members(members);
}

}  // namespace taloq
