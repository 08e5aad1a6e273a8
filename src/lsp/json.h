#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include <rapidjson/document.h>
#include <rapidjson/stringbuffer.h>
#include <rapidjson/writer.h>

namespace taloq::lsp {

using JsonValue = rapidjson::Value;
using JsonWriter = rapidjson::Writer<rapidjson::StringBuffer>;

// Writes a text of the model or of a message (8-bit, perhaps not UTF-8) as
// a JSON string of valid UTF-8.
void write_text(JsonWriter& out, std::string_view text);

// Reading the members of a message, which may be of any shape: each gives
// none (or null) when the member is missing or of another type.
const JsonValue* member(const JsonValue* object, const char* name);
std::optional<std::string_view> text_member(const JsonValue* object, const char* name);
std::optional<std::int64_t> integer_member(const JsonValue* object, const char* name);
bool bool_member(const JsonValue* object, const char* name);

}  // namespace taloq::lsp
