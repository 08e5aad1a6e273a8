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
  json.key("name");
  json.text(element.name());
  json.key("c_name");
  json.text(element.c_name());
  json.key("tag");
  json.text(element.tag());
  json.key("link");
  json.text(element.link());
  json.key("type_name");
  json.text(element.type_name());
  json.key("const_text");
  json.text(element.const_text());
  json.key("pattern");
  json.optional_text(element.pattern());
}

void write_type(JsonOutput& json, const Element& element) {
  json.key("type");
  const char* name = type_code_name(element.type());
  if (name != nullptr) {
    json.text(name);
  } else {
    json.null();
  }
}

void write_numbers(JsonOutput& json, const Element& element) {
  json.key("line");
  json.integer(element.line());
  json.key("value");
  json.integer(element.value());
  json.key("min");
  json.integer(element.min());
  json.key("max");
  json.integer(element.max());
  json.key("cardinality_min");
  json.integer(element.cardinality_min());
  json.key("cardinality_max");
  json.integer(element.cardinality_max());
  json.key("ref_count");
  json.integer(element.ref_count());
}

void write_flag(JsonOutput& json, std::string_view name, bool value) {
  json.key(name);
  json.boolean(value);
}

void write_flags(JsonOutput& json, const Element& element) {
  write_flag(json, "constrained", element.constrained());
  write_flag(json, "min_negative", element.min_negative());
  write_flag(json, "max_negative", element.max_negative());
  write_flag(json, "has_cardinality", element.has_cardinality());
  write_flag(json, "z_flag", element.z_flag());
  write_flag(json, "is_plugin", element.is_plugin());
  write_flag(json, "top_level", element.top_level());
  write_flag(json, "list", element.list());
  write_flag(json, "dynamic", element.dynamic());
  write_flag(json, "recursive", element.recursive());
  write_flag(json, "is_copy", element.is_copy());
}

}  // namespace

const char* type_code_name(std::int32_t type) {
  if (type < 0 || type > ET_LINK) return nullptr;
  return kTypeNames[static_cast<std::size_t>(type)];
}

void write_element_fields(JsonOutput& json, const Element& element) {
  write_texts(json, element);
  write_type(json, element);
  write_numbers(json, element);
  write_flags(json, element);
}

}  // namespace taloq
