#pragma once

#include <array>
#include <cstddef>
#include <cstring>
#include <ostream>

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
  // Hands the collected characters on; the writer calls it at the end of
  // the document.
  void Flush();

 private:
  std::ostream& out_;
  std::array<char, 65536> buffer_{};
  std::size_t used_ = 0;
};

}  // namespace taloq
