#include "lsp/json.h"

#include "lsp/text_lines.h"

namespace taloq::lsp {

void write_text(JsonWriter& out, std::string_view text) {
  std::string utf8;
  utf8.reserve(text.size());
  append_utf8(utf8, text);
  out.String(utf8.data(), static_cast<rapidjson::SizeType>(utf8.size()));
}

const JsonValue* member(const JsonValue* object, const char* name) {
  if (object == nullptr || !object->IsObject()) return nullptr;
  const auto found = object->FindMember(name);
  return found == object->MemberEnd() ? nullptr : &found->value;
}

std::optional<std::string_view> text_member(const JsonValue* object, const char* name) {
  const JsonValue* value = member(object, name);
  if (value == nullptr || !value->IsString()) return std::nullopt;
  return std::string_view(value->GetString(), value->GetStringLength());
}

std::optional<std::int64_t> integer_member(const JsonValue* object, const char* name) {
  const JsonValue* value = member(object, name);
  if (value == nullptr || !value->IsInt64()) return std::nullopt;
  return value->GetInt64();
}

bool bool_member(const JsonValue* object, const char* name) {
  const JsonValue* value = member(object, name);
  return value != nullptr && value->IsBool() && value->GetBool();
}

}  // namespace taloq::lsp
