#pragma once

#include <cassert>
#include <cstdint>
#include <cstring>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include <rapidjson/writer.h>

#include "dump/buffered_stream.h"
#include "parse/text.h"

namespace taloq {

// Members of one object (numbers and flags) collected in a fixed buffer,
// to be handed to JsonOutput::members at once: an element has nineteen of
// them, and one block costs one separator check and one copy.
class JsonMembers {
 public:
  // Room for kMostMembers members of a name and a value of at most 20
  // characters each, with their quotes, colon and comma.
  static constexpr std::size_t kMostMembers = 32;
  static constexpr std::size_t kMemberBytes = 5 + 20 + 20;
  static constexpr std::size_t kCapacity = kMostMembers * kMemberBytes;

  // `name` is plain ASCII of at most 20 characters.
  void integer(std::string_view name, std::int64_t value) {
    start(name);
    used_ = static_cast<std::size_t>(rapidjson::internal::i64toa(value, chars_ + used_) - chars_);
  }
  void boolean(std::string_view name, bool value) {
    start(name);
    append(value ? std::string_view("true") : std::string_view("false"));
  }
  void null(std::string_view name) {
    start(name);
    append("null");
  }
  // `text` holds only printable ASCII other than '"' and '\\'.
  void plain_text(std::string_view name, std::string_view text) {
    start(name);
    chars_[used_++] = '"';
    append(text);
    chars_[used_++] = '"';
  }
  // The members, each after a comma.
  std::string_view block() const { return {chars_, used_}; }
  std::size_t count() const { return count_; }

 private:
  void start(std::string_view name) {
    assert(count_ < kMostMembers && name.size() <= 20);
    chars_[used_++] = ',';
    chars_[used_++] = '"';
    append(name);
    chars_[used_++] = '"';
    chars_[used_++] = ':';
    ++count_;
  }
  void append(std::string_view text) {
    std::memcpy(chars_ + used_, text.data(), text.size());
    used_ += text.size();
  }

  char chars_[kCapacity];
  std::size_t used_ = 0;
  std::size_t count_ = 0;
};

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
  void integer(std::int64_t value) {
    char digits[24];
    const char* end = rapidjson::internal::i64toa(value, digits);
    writer_.plain_value(rapidjson::kNumberType,
                        std::string_view(digits, static_cast<std::size_t>(end - digits)));
  }
  void null() { writer_.plain_value(rapidjson::kNullType, "null"); }

  // A member of the open object, its plain ASCII name and its text at
  // once: what key() and text() would write, with one separator check.
  void member_text(std::string_view name, std::string_view latin1_text);
  void member_optional_text(std::string_view name, const Text& latin1_text);
  // The collected members, as many members of the open object.
  void members(const JsonMembers& block) { writer_.raw_members(block.block(), block.count()); }

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
    // `"name":` and `json`, a value in its JSON form, as one member of the
    // open object.
    void raw_member(std::string_view name, std::string_view json) {
      member_name(name);
      os_->Write(json.data(), json.size());
    }
    // `block`: `count` members, each after a comma (the first one's is
    // left out in an object still empty).
    void raw_members(std::string_view block, std::size_t count) {
      if (count == 0) return;
      Level* level = level_stack_.template Top<Level>();
      if (level->valueCount == 0) block.remove_prefix(1);
      os_->Write(block.data(), block.size());
      level->valueCount += 2 * count;
    }
    // `"name":` and the string of `text`, escaped as the writer escapes.
    void string_member(std::string_view name, std::string_view text, bool plain) {
      member_name(name);
      if (plain) {
        os_->Put('"');
        os_->Write(text.data(), text.size());
        os_->Put('"');
      } else {
        WriteString(text.data(), static_cast<rapidjson::SizeType>(text.size()));
      }
    }
    // A number, true, false or null, already in its JSON form.
    void plain_value(rapidjson::Type type, std::string_view json) {
      Prefix(type);
      os_->Write(json.data(), json.size());
      EndValue(true);
    }

   private:
    // The separator, then the name and its colon. The writer counts the
    // name and the value, so what follows is written without a prefix.
    void member_name(std::string_view name) {
      Prefix(rapidjson::kStringType);
      os_->Put('"');
      os_->Write(name.data(), name.size());
      os_->Write("\":", 2);
      ++level_stack_.template Top<Level>()->valueCount;
    }
  };

  BufferedStream stream_;
  Writer writer_;
  std::string utf8_;  // reused for every text
};

}  // namespace taloq
