#include "dump/json_output.h"

#include <ostream>

#include "dump/latin1_text.h"

namespace taloq {

JsonOutput::JsonOutput(std::ostream& out) : stream_(out), writer_(stream_) {}

namespace {

// True when the JSON string of `text` is its bytes as they stand: nothing
// to escape, nothing beyond ASCII to encode.
bool is_plain(std::string_view text) {
  for (const char c : text) {
    if (!is_plain_json_byte(c)) return false;
  }
  return true;
}

}  // namespace

void JsonOutput::text(std::string_view latin1_text) {
  if (is_plain(latin1_text)) {
    writer_.plain_string(latin1_text);
    return;
  }
  utf8_.clear();
  append_latin1_as_utf8(utf8_, latin1_text);
  writer_.String(utf8_.data(), static_cast<rapidjson::SizeType>(utf8_.size()));
}

void JsonOutput::member_text(std::string_view name, std::string_view latin1_text) {
  if (writer_.plain_string_member(name, latin1_text)) return;
  utf8_.clear();
  append_latin1_as_utf8(utf8_, latin1_text);
  writer_.string_member(name, utf8_);
}

void JsonOutput::member_optional_text(std::string_view name, const Text& latin1_text) {
  if (latin1_text.is_null()) {
    writer_.raw_member(name, "null");
  } else {
    member_text(name, latin1_text);
  }
}

void JsonOutput::optional_text(const std::optional<std::string>& latin1_text) {
  if (latin1_text) {
    text(*latin1_text);
  } else {
    null();
  }
}

void JsonOutput::optional_text(const Text& latin1_text) {
  if (!latin1_text.is_null()) {
    text(latin1_text);
  } else {
    null();
  }
}

}  // namespace taloq
