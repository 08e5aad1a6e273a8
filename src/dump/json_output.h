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

// True when a byte stands for itself in a JSON string: printable ASCII that
// needs no escape.
inline bool is_plain_json_byte(char c) {
  const auto byte = static_cast<unsigned char>(c);
  return byte >= 0x20 && byte <= 0x7e && byte != '"' && byte != '\\';
}

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
  // The cursor is taken into a local: a character stored through the
  // buffer could be the count itself to the compiler, which would read it
  // again after every character.
  void start(std::string_view name) {
    assert(count_ < kMostMembers && name.size() <= 20);
    char* at = chars_ + used_;
    *at++ = ',';
    *at++ = '"';
    std::memcpy(at, name.data(), name.size());
    at += name.size();
    *at++ = '"';
    *at++ = ':';
    used_ = static_cast<std::size_t>(at - chars_);
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
  void member_text(std::string_view name, const Text& latin1_text) {
    if (!writer_.plain_string_member(name, latin1_text.data())) member_text(name, latin1_text.view());
  }
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
      os_->WriteParts({"\"", text, "\""});
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
    void string_member(std::string_view name, std::string_view text) {
      member_name(name);
      WriteString(text.data(), static_cast<rapidjson::SizeType>(text.size()));
    }
    // `"name":"text"` when the JSON string of `text` is its bytes as they
    // stand (nothing to escape, nothing beyond ASCII); false, with nothing
    // written, otherwise. The check and the copy are one pass.
    bool plain_string_member(std::string_view name, std::string_view text) {
      if (name.size() + text.size() > BufferedStream::kLargestRoom) return false;
      char* at = open_plain_member(name, text.size());
      for (const char c : text) {
        if (!is_plain_json_byte(c)) return false;
        *at++ = c;
      }
      close_plain_member(at);
      return true;
    }
    // The same for a NUL-terminated text of at most kShortText characters,
    // read without measuring it first; false, with nothing written, for a
    // longer one too.
    static constexpr std::size_t kShortText = 64;
    bool plain_string_member(std::string_view name, const char* text) {
      if (name.size() > BufferedStream::kLargestRoom) return false;
      char* at = open_plain_member(name, kShortText);
      for (std::size_t i = 0; text[i] != '\0'; ++i) {
        if (i == kShortText || !is_plain_json_byte(text[i])) return false;
        *at++ = text[i];
      }
      close_plain_member(at);
      return true;
    }
    // A number, true, false or null, already in its JSON form.
    void plain_value(rapidjson::Type type, std::string_view json) {
      Prefix(type);
      os_->Write(json.data(), json.size());
      EndValue(true);
    }

   private:
    // Room for a member of a text of at most `text_size` characters, its
    // separator, name, colon and opening quote written there; the cursor
    // after them. Nothing counts as written until close_plain_member.
    char* open_plain_member(std::string_view name, std::size_t text_size) {
      char* at = os_->Room(name.size() + text_size + 6);
      if (level_stack_.template Top<Level>()->valueCount > 0) *at++ = ',';
      *at++ = '"';
      for (const char c : name) *at++ = c;
      *at++ = '"';
      *at++ = ':';
      *at++ = '"';
      return at;
    }
    void close_plain_member(char* at) {
      *at++ = '"';
      os_->Commit(at);
      level_stack_.template Top<Level>()->valueCount += 2;
    }
    // The separator, then the name and its colon. The writer counts the
    // name and the value, so what follows is written without a prefix.
    void member_name(std::string_view name) {
      count_member_name();
      os_->WriteParts({"\"", name, "\":"});
    }
    // The separator before a member, and the name counted as written.
    void count_member_name() {
      Prefix(rapidjson::kStringType);
      ++level_stack_.template Top<Level>()->valueCount;
    }
  };

  BufferedStream stream_;
  Writer writer_;
  std::string utf8_;  // reused for every text
};

}  // namespace taloq
