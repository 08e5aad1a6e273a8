#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <rapidjson/writer.h>

#include "dump/buffered_stream.h"
#include "parse/text.h"

namespace taloq {

// A streaming JSON writer on an output stream: nothing of the document is
// kept beyond the nesting that is open and one output buffer. Everything
// has been handed to the stream once the document is complete or the
// writer is gone. Texts of the model are 8-bit and
// are written as the Unicode characters of their byte values.
class JsonOutput {
 public:
  explicit JsonOutput(std::ostream& out);
  JsonOutput(const JsonOutput&) = delete;
  JsonOutput& operator=(const JsonOutput&) = delete;

  void start_object() { writer_.StartObject(); }
  void end_object() { writer_.EndObject(); }
  void start_array() { writer_.StartArray(); }
  void end_array() { writer_.EndArray(); }
  // Member names are plain ASCII.
  void key(std::string_view name) { writer_.plain_string(name); }

  void text(std::string_view latin1_text);
  // A text, or null for an absent one.
  void optional_text(const Text& latin1_text);
  void optional_text(const std::optional<std::string>& latin1_text);
  void boolean(bool value) {
    if (value) {
      writer_.plain_value(rapidjson::kTrueType, "true");
    } else {
      writer_.plain_value(rapidjson::kFalseType, "false");
    }
  }
  void integer(std::int64_t value) {
    char digits[24];
    const char* end = rapidjson::internal::i64toa(value, digits);
    writer_.plain_value(rapidjson::kNumberType,
                        std::string_view(digits, static_cast<std::size_t>(end - digits)));
  }
  void null() { writer_.plain_value(rapidjson::kNullType, "null"); }

 private:
  // The JSON writer with blocks: a text that needs no escaping, a number
  // and a literal go to the stream as one block each. A character at a time, as
  // the writer itself puts strings, costs a check of the buffer's room for
  // every character, and member names are a third of the document.
  class Writer : public rapidjson::Writer<BufferedStream> {
   public:
    using rapidjson::Writer<BufferedStream>::Writer;
    // `text` holds only printable ASCII other than '"' and '\\'.
    void plain_string(std::string_view text) {
      Prefix(rapidjson::kStringType);
      os_->Put('"');
      os_->Write(text.data(), text.size());
      os_->Put('"');
      EndValue(true);
    }
    // A number, true, false or null, already in its JSON form.
    void plain_value(rapidjson::Type type, std::string_view json) {
      Prefix(type);
      os_->Write(json.data(), json.size());
      EndValue(true);
    }
  };

  BufferedStream stream_;
  Writer writer_;
  std::string utf8_;  // reused for every text
};

}  // namespace taloq
