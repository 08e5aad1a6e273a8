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
  void key(const char* name) { writer_.plain_string(name); }

  void text(std::string_view latin1_text);
  // A text, or null for an absent one.
  void optional_text(const Text& latin1_text);
  void optional_text(const std::optional<std::string>& latin1_text);
  void boolean(bool value) { writer_.Bool(value); }
  void integer(std::int64_t value) { writer_.Int64(value); }
  void null() { writer_.Null(); }

 private:
  // The JSON writer with one more kind of string: a text that needs no
  // escaping goes to the stream as one block. A character at a time, as
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
  };

  BufferedStream stream_;
  Writer writer_;
  std::string utf8_;  // reused for every text
};

}  // namespace taloq
