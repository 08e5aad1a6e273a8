#pragma once

#include <array>
#include <cstddef>
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
  // Hands the collected characters on; the writer calls it at the end of
  // the document.
  void Flush();

 private:
  std::ostream& out_;
  std::array<char, 65536> buffer_{};
  std::size_t used_ = 0;
};

}  // namespace taloq
