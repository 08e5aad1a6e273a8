#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <ostream>
#include <string_view>

namespace taloq {

// The output stream of the JSON writer: collects characters in a fixed
// buffer and hands them to an std::ostream in large blocks.
class BufferedStream {
 public:
  using Ch = char;  // the character type the JSON writer asks for

  explicit BufferedStream(std::ostream& out) : out_(out) {}
  ~BufferedStream() { Flush(); }
  BufferedStream(const BufferedStream&) = delete;
  BufferedStream& operator=(const BufferedStream&) = delete;

  void Put(char c) {
    buffer_[used_++] = c;
    if (used_ == buffer_.size()) Flush();
  }
  // The same for a run of characters, copied as one block.
  void Write(const char* data, std::size_t size) {
    if (buffer_.size() - used_ < size) Flush();
    if (size > buffer_.size()) {
      out_.write(data, static_cast<std::streamsize>(size));
      return;
    }
    std::memcpy(buffer_.data() + used_, data, size);
    used_ += size;
    if (used_ == buffer_.size()) Flush();  // Put relies on room for one more
  }
  // Direct writing for blocks of known greatest size: room for `size`
  // characters (less than the buffer holds) and one more, which the
  // writer fills through a local cursor and then ends with Commit. A local
  // cursor matters: a character stored through the buffer could be the
  // count itself to the compiler, which would read it again after every
  // character.
  char* Room(std::size_t size) {
    if (buffer_.size() - used_ <= size) Flush();
    return buffer_.data() + used_;
  }
  void Commit(const char* end) { used_ = static_cast<std::size_t>(end - buffer_.data()); }
  static constexpr std::size_t kLargestRoom = 65536 / 2;

  // Pieces written one after the other as one block.
  template <std::size_t N>
  void WriteParts(const std::string_view (&parts)[N]) {
    std::size_t size = 0;
    for (const std::string_view part : parts) size += part.size();
    if (size > kLargestRoom) {
      for (const std::string_view part : parts) Write(part.data(), part.size());
      return;
    }
    char* at = Room(size);
    // Byte by byte: the pieces are names and short texts, for which a call
    // to memcpy costs more than the copy.
    for (const std::string_view part : parts) {
      for (const char c : part) *at++ = c;
    }
    Commit(at);
  }
  // Hands the collected characters on; the writer calls it at the end of
  // the document.
  void Flush();

 private:
  std::ostream& out_;
  std::array<char, 65536> buffer_{};
  std::size_t used_ = 0;
};

}  // namespace taloq
